#!/usr/bin/env bash
# Builds Quillmere.exe and starts it under Wine inside Wine's virtual desktop, whose taskbar
# has a notification area, as on Windows.
#   scripts/run.sh [--demo] [--size WxH]
#   --demo  puts small stand-in defragmenters into the prefix's system folder, so a run really
#           happens (a few seconds per drive) and can be watched in the tray. Without it they
#           are taken out again: Wine has no defragmenter of its own.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QM_BUILD_DIR:-$root/build}
demo=0
size=1280x800
while [ $# -gt 0 ]; do
    case "$1" in
        --demo) demo=1 ;;
        --size) size=$2; shift ;;
        -h|--help) sed -n '2,7p' "$0"; exit 0 ;;
        *) echo "unknown option: $1" >&2; exit 2 ;;
    esac
    shift
done

"$root/scripts/setup.sh"
# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"

cmake -S "$root" -B "$build/windows" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-posix.cmake" >/dev/null
cmake --build "$build/windows" --target Quillmere defrag contig dfrgntfs 2>/dev/null ||
    cmake --build "$build/windows" --target Quillmere

private_display=0
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    unset DISPLAY
    QM_SCREEN="${size}x24" qm_xvfb_start
    private_display=1
    echo "No display was set: Quillmere runs on a private Xvfb display $DISPLAY."
    echo "Take a screenshot with:  DISPLAY=$DISPLAY import -window root quillmere.png"
fi

# The user's own prefix: settings and schedule persist from one run to the next.
prefix="$build/wine/run"
qm_wine_boot "$prefix"
trap 'qm_wine_stop; [ $private_display -eq 1 ] && qm_xvfb_stop' EXIT

if [ $demo -eq 1 ]; then
    qm_install_doubles "$prefix" "$build/windows/doubles"
    export QM_DOUBLE_SECONDS=${QM_DOUBLE_SECONDS:-5}
    echo "Demo mode: the stand-in defragmenters of $build/windows/doubles do the work."
else
    qm_remove_doubles "$prefix"
fi

echo "Starting Quillmere (prefix $prefix). Right-click its tray icon and choose Exit to end it."
wine explorer "/desktop=Quillmere,$size" "$(qm_winpath "$build/windows/Quillmere.exe")"
