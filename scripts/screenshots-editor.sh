#!/usr/bin/env bash
# Screenshots of the schedule editor under Wine on a private Xvfb screen, as PNG files in
# build/screenshots/: one for each frequency's layout and one with a validation message.
#   scripts/screenshots-editor.sh [WINDOWS_BUILD_DIR]   (default build/windows)
# Builds the editor_demo target there when it is missing. Writes:
#   editor-never.png, editor-daily.png, editor-weekly.png, editor-monthly.png, editor-every.png
#   editor-invalid.png   "At least one weekday must be selected." over a weekly schedule
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(readlink -f "${1:-$root/build/windows}")
demo="$build/editor_demo.exe"
out="$root/build/screenshots"
if [ ! -f "$demo" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-posix.cmake" >/dev/null &&
        cmake --build "$build" --target editor_demo >/dev/null ||
        { echo "could not build $demo" >&2; exit 1; }
fi
command -v import >/dev/null && command -v convert >/dev/null || { echo "ImageMagick is needed" >&2; exit 1; }
mkdir -p "$out"

# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"
unset DISPLAY  # always a private screen: nothing else may appear in the pictures
QM_SCREEN=1024x768x24 qm_xvfb_start
qm_wine_boot "${QM_SHOT_PREFIX:-$root/build/screenshots-wine}"

cleanup() {
    qm_wine_stop
    qm_xvfb_stop
}
trap cleanup EXIT

# The screen is black but for the editor: cropping to what is not black leaves the window.
crop() {
    convert "$1" -bordercolor black -border 1 -trim +repage "$2"
}

shot() {
    local name=$1 file="$out/editor-$1.png" tries=50
    shift
    wine "$demo" --seconds 12 "$@" &
    local pid=$!
    # Until something shows (the first start of Wine is slow), then a moment to finish painting.
    until import -window root "$file" && [ "$(crop "$file" - 2>/dev/null | identify -format %w -)" -gt 1 ]; do
        tries=$((tries - 1))
        [ $tries -gt 0 ] || { echo "nothing showed for $name" >&2; exit 1; }
        sleep 0.2
    done
    sleep 1.5
    import -window root "$file"
    crop "$file" "$file"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    echo "$file"
}

shot never --occurs 0
shot daily --occurs 1
shot weekly --occurs 2
shot monthly --occurs 3
shot every --occurs 4
shot invalid --invalid
