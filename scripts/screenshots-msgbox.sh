#!/usr/bin/env bash
# Screenshots of the program's message box under Wine on a private Xvfb screen, as PNG files
# in build/screenshots/: the four styles the program uses and two gradient bodies.
#   scripts/screenshots-msgbox.sh [WINDOWS_BUILD_DIR]   (default build/windows)
# Builds the msgbox_demo target there when it is missing.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(readlink -f "${1:-$root/build/windows}")
demo="$build/msgbox_demo.exe"
out="$root/build/screenshots"
if [ ! -f "$demo" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-posix.cmake" >/dev/null &&
        cmake --build "$build" --target msgbox_demo >/dev/null ||
        { echo "could not build $demo" >&2; exit 1; }
fi
mkdir -p "$out"

# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"
unset DISPLAY  # always a private screen: nothing else may appear in the pictures
QM_SCREEN=1024x768x24 qm_xvfb_start
qm_wine_boot "${QM_SHOT_PREFIX:-$root/build/screenshots-wine}"
# Without a window manager Wine would wait for one on every hidden window.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

cleanup() {
    qm_wine_stop
    qm_xvfb_stop
}
trap cleanup EXIT

shot() {
    local name=$1
    shift
    wine "$demo" --no-sound --seconds 4 "$@" &
    local pid=$!
    sleep 2.5
    import -window root "$out/msgbox-$name.png"
    wait "$pid" || true
    echo "$out/msgbox-$name.png"
}

shot style0 --style 0 --title " Quillmere" --message "The defragmentation of drive c: has finished."
shot style36 --style 36 --title " Exit" \
    --message "Are you sure you wish to exit the\nQuillmere program?"
shot style48 --style 48 --title " Quillmere" --message "The program is already running"
shot style16 --style 16 --title " Quillmere" \
    --message "The defragmenter could not be started.\nPlease check that defrag.exe is installed."
shot gradient1 --style 36 --gradient 1 --title " Exit" \
    --message "Are you sure you wish to exit the\nQuillmere program?"
shot gradient7 --style 64 --gradient 7 --title " Quillmere" \
    --message "A gradient body, circles about the centre."
