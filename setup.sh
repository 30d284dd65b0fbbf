#!/usr/bin/env bash
# Set up, build and run the program or its tests on Debian 12.
#   ./setup.sh run    install what is missing, build, start marlisk
#   ./setup.sh test   install what is missing, build, run the whole test suite
#   ./setup.sh build  install what is missing and build
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
mode="${1:-}"
case "$mode" in run|test|build) ;; *) echo "usage: $0 run|test|build" >&2; exit 2 ;; esac

# What building and running the program needs.
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  fonts-liberation2 fonts-dejavu-core fonts-droid-fallback
  libzbar-dev libzxing-dev zlib1g-dev libcups2-dev
  qt6-wayland
)
# What the tests need besides: decoders, a rasteriser and a library of standard numbers as
# oracles, a print system with a PDF queue, an X server with input and clipboard tools, a
# window manager, the accessibility bus and a Wayland compositor, clang for the fuzz targets.
if [ "$mode" = test ]; then
  packages+=(
    zbar-tools poppler-utils python3-stdnum
    cups cups-client cups-bsd printer-driver-cups-pdf
    xvfb xauth xdotool xclip x11-utils desktop-file-utils
    at-spi2-core python3-pyatspi dbus-daemon weston wl-clipboard
    clang libclang-rt-14-dev clang-format
    openbox imagemagick python3 glabels-data ccache
  )
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "== installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# A test run builds three times (plain, sanitizers, fuzz targets): a compiler cache keeps
# what has not changed since the last run, in this clone or another (names are taken
# relative to the clone).
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$here" CCACHE_NOHASHDIR=true
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
export MARLISK_LAUNCHER="${launcher[*]}"

build="$here/build"
tests=ON; [ "$mode" = test ] || tests=OFF
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARLISK_TESTS="$tests" \
  "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"

[ "$mode" = build ] && exit 0
if [ "$mode" = run ]; then
  exec "$build/marlisk"
fi

# The test suite, the same suite under the sanitizers, and the fuzz targets.
exec "$here/tests/run_all.sh"
