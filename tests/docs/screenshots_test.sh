#!/usr/bin/env bash
# The README's screenshot script still works: it makes its picture of the real window,
# the picture is the size of the whole window, and the symbol in its preview scans.
#   tests/docs/screenshots_test.sh PATH_TO_MARLISK
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
app="${1:?usage: $0 PATH_TO_MARLISK}"
for tool in identify zbarimg; do
    command -v "$tool" >/dev/null 2>&1 || { echo "FAIL: $tool is not installed"; exit 1; }
done
out="$(mktemp -d "${TMPDIR:-/tmp}/marlisk-shots-test.XXXXXX")"
trap 'rm -rf "$out"' EXIT

"$here/docs/screenshots.sh" "$out" "$app" || exit 1
shot="$out/window.png"
read -r width height < <(identify -format '%w %h\n' "$shot")
# The window is laid out at 689 x 514 before its frame; anything smaller is cut off.
if [ "${width:-0}" -lt 689 ] || [ "${height:-0}" -lt 514 ] || [ "$width" -gt 1024 ] || [ "$height" -gt 768 ]; then
    echo "FAIL: the screenshot is ${width}x${height}, not the whole window"
    exit 1
fi
decoded=$(zbarimg -q -Sean5.enable "$shot" 2>/dev/null | sort | tr '\n' ' ')
if [ "$decoded" != "EAN-13:5901234123457 EAN-5:51995 " ]; then
    echo "FAIL: the screenshot's preview decodes to '$decoded'"
    exit 1
fi
echo "ok: the window screenshot is ${width}x${height} and its preview scans ($decoded)"

# The sheet: a US Letter page at 100 dpi whose labels scan.
sheet="$out/sheet.png"
read -r width height < <(identify -format '%w %h\n' "$sheet")
if [ "${width:-0}" != 850 ] || [ "${height:-0}" != 1100 ]; then
    echo "FAIL: the sheet picture is ${width}x${height}, not a US Letter page at 100 dpi (850x1100)"
    exit 1
fi
decoded=$(zbarimg -q -Supca.enable "$sheet" 2>/dev/null | sort -u | tr '\n' ' ')
if [ "$decoded" != "UPC-A:036000291452 " ]; then
    echo "FAIL: the sheet's labels decode to '$decoded'"
    exit 1
fi
echo "ok: the sheet picture is a US Letter page whose labels scan"
