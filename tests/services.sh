#!/usr/bin/env bash
# Starts the services some tests need (a CUPS scheduler with a PDF queue). Tests that
# need one check for it themselves and say clearly when it is not there.
set -u
case "${1:-}" in
start)
    if command -v cupsd >/dev/null 2>&1; then
        if ! lpstat -r 2>/dev/null | grep -q "is running"; then
            (cupsd >/dev/null 2>&1 || /usr/sbin/cupsd >/dev/null 2>&1) || true
            for _ in $(seq 1 50); do lpstat -r 2>/dev/null | grep -q "is running" && break; sleep 0.2; done
        fi
        if ! lpstat -p marlisk-pdf >/dev/null 2>&1; then
            ppd=$(ls /usr/share/ppd/cups-pdf/*.ppd 2>/dev/null | head -n 1)
            if [ -n "$ppd" ]; then
                lpadmin -p marlisk-pdf -v cups-pdf:/ -E -P "$ppd" >/dev/null 2>&1 || true
            else
                lpadmin -p marlisk-pdf -v cups-pdf:/ -E -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd >/dev/null 2>&1 || true
            fi
        fi
    fi
    ;;
*) echo "usage: $0 start" >&2; exit 2 ;;
esac
exit 0
