#!/usr/bin/env bash
# Screenshots of the Options dialog on a machine with fixed drives C, D (labelled Data) and E,
# taken on a private Xvfb display: the first run opens the dialog by itself; xdotool rests the
# pointer on a drive and clicks Defrag Now as a user would. A prepared run log gives the rows
# their last results; the stand-in defragmenter prints its progress as Windows 10's does.
#   scripts/screenshots-options.sh [DPI]   (after a Windows build; QM_BUILD_DIR names another
#                                           one; DPI 96 by default, 144 for one and a half)
# Writes build/screenshots/ (names with -144 and the like at another DPI):
#   options-dialog.png      the dialog with its three drive rows and their last results
#   options-balloon.png     the drive-statistics balloon of drive D
#   options-defrag-now.png  the panel over the drive rows while Defrag Now runs on drive E,
#                           its bar at the percentage the defragmenter last printed
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QM_BUILD_DIR:-$root/build/windows}
out=$root/build/screenshots
dpi=${1:-96}
case "$dpi" in *[!0-9]* | "") echo "usage: $0 [DPI]" >&2; exit 2 ;; esac
suffix=$([ "$dpi" = 96 ] || echo "-$dpi")
# The dialog's design is in twips; so are the places the pointer goes to.
px() { echo $(($1 * dpi / 1440)); }
# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"

qm_need_screen_tools_and_build "$build"

qm_wine_env
unset DISPLAY
work=$(mktemp -d)
prefix=$root/build/wine/screenshots-options
base=${QM_WINE_BASE:-$build/wine/base}
trap 'qm_private_prefix_cleanup "$work" "$prefix"' EXIT
QM_SCREEN=1024x768x24 qm_xvfb_start
qm_private_prefix "$base" "$prefix"
QM_SCENARIO_DIR=$work bash "$root/tests/e2e/prepare/office-drives.sh" "$prefix"
bash "$root/tests/e2e/prepare/E2eProgress.sh" "$prefix"
wineserver -p
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
logs="$prefix/drive_c/users/$(id -un)/AppData/Local/Quillmere"
mkdir -p "$logs"
printf '%s\r\n' \
    $'2026-12-05 21:30:05\tC:\tdefrag c: /O /U /V\t0:12:03\tok' \
    $'2026-12-06 21:30:00\tD:\tdefrag d: /O /U /V\t0:00:01\tfailed: administrator rights needed (0x89000024)' \
    >"$logs/runs.log"
mkdir -p "$out"
wine reg add 'HKCU\Software\Quillmere\Settings' /v ShowSplash /d 0 /f >/dev/null 2>&1

# Stand-in defragmenters that keep running until the screenshots are taken.
export WINEPATH QM_DOUBLE_SECONDS=60 QM_DOUBLE_PROGRESS=1
WINEPATH=$(qm_winpath "$build/doubles")
wine "$build/Quillmere.exe" >/dev/null 2>&1 &

# The heading bar is the only navy on the screen: it places the dialog's client area, whose
# controls lie at their twips. Sets client_x, client_y.
find_dialog() {
    local geometry x y
    import -window root "$work/probe.png"
    geometry=$(convert "$work/probe.png" -fill black +opaque 'rgb(0,0,128)' -trim \
        -format '%X %Y %w' info: 2>/dev/null) || return 1
    read -r x y w <<<"$geometry"
    [ "$w" -gt 100 ] || return 1
    client_x=$((${x#+} - $(px 240)))
    client_y=$((${y#+} - $(px 3690)))
}

# The screen below the tray window, cut to what is not black: the dialog (and its balloon).
shoot() {  # shoot NAME
    import -window root "$work/shot.png"
    convert "$work/shot.png" -crop 1024x700+0+60 +repage -trim -bordercolor black -border 12 \
        "$out/$1$suffix.png"
}

qm_wait_for 30 find_dialog || { echo "the Options dialog did not open" >&2; exit 1; }
sleep 1
shoot options-dialog

# Drive D's check box: row 1, at 360 twips from the left and 4140 + 300 from the top.
xdotool mousemove $((client_x + $(px 600))) $((client_y + $(px $((4140 + 300 + 120)))))
sleep 0.2
xdotool mousemove_relative 2 0
sleep 2.5
shoot options-balloon

# Over the heading the balloon goes; then drive E's Defrag Now button: row 2, at 2970 twips.
xdotool mousemove $((client_x + $(px 1500))) $((client_y + $(px 3840)))
sleep 0.5
xdotool mousemove $((client_x + $(px $((2970 + 510))))) $((client_y + $(px $((4140 + 600 + 127))))) \
    click 1
sleep 8  # a few of the defragmenter's progress lines
xdotool mousemove 10 700
sleep 0.5
shoot options-defrag-now
ls -l "$out"/options-*"$suffix".png
