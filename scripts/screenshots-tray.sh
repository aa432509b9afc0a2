#!/usr/bin/env bash
# Screenshots of the tray menu in its three states and of the status balloon, taken on a
# private Xvfb display with Quillmere.exe inside Wine's virtual desktop, whose taskbar has the
# notification area at the bottom right. Driven with xdotool as a user would: hover the icon
# for the balloon, right-click it for the menu, Escape to close.
#   scripts/screenshots-tray.sh   (after a Windows build; QM_BUILD_DIR names another one)
# Writes build/screenshots/:
#   tray-menu-no-drives.png   no drive selected: "Defrag Selected Drive(s) Now" disabled
#   tray-menu-idle.png        idle with drives: no "Stop Current Defrag", Defrag and Open enabled
#   tray-menu-running.png     during a run: "Stop Current Defrag" shown, Defrag and Open disabled
#   tray-balloon.png          the balloon with the next and last defrag
#   tray-balloon-running.png  the balloon during a run
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QM_BUILD_DIR:-$root/build/windows}
out=$root/build/screenshots
width=1024
height=768
# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"

qm_need_screen_tools_and_build "$build"

qm_wine_env
unset DISPLAY
QM_SCREEN="${width}x${height}x24" qm_xvfb_start
work=$(mktemp -d)
prefix=$root/build/wine/screenshots-tray
base=${QM_WINE_BASE:-$build/wine/base}
trap 'qm_private_prefix_cleanup "$work" "$prefix"' EXIT
qm_private_prefix "$base" "$prefix"
wineserver -p
mkdir -p "$out"

# Stand-in defragmenters, in the system folder, that keep running until the scenario is over.
qm_install_doubles "$prefix" "$build/doubles"
export QM_DOUBLE_SECONDS=600
app=$(qm_winpath "$build/Quillmere.exe")

setting() {
    wine reg add 'HKCU\Software\Quillmere\Settings' /v "$1" /d "$2" /f >/dev/null 2>&1
}

# The colour of one screen pixel, e.g. "srgb(255,255,255)".
pixel() {
    import -window root "$work/probe.png"
    convert "$work/probe.png" -format "%[pixel:p{$1,$2}]" info:
}

# Finds the program's icon in the notification area: the only thing on the taskbar's right
# half that is not taskbar white. Sets icon_x, icon_y (its centre); false while it is absent.
find_icon() {
    local geometry w h x y
    import -window root "$work/probe.png"
    geometry=$(convert "$work/probe.png" -crop "$((width / 2))x18+$((width / 2))+$((height - 19))" \
        +repage -bordercolor white -border 1 -fuzz 5% -trim -format '%w %h %X %Y' info: 2>/dev/null) ||
        return 1
    read -r w h x y <<<"$geometry"
    [ "$w" -ge 12 ] && [ "$w" -le 20 ] && [ "$h" -ge 12 ] || return 1
    icon_x=$((width / 2 + ${x#+} - 1 + w / 2))
    icon_y=$((height - 19 + ${y#+} - 1 + h / 2))
}

icon_gone() { ! find_icon; }

start_program() {
    wine explorer "/desktop=shell,${width}x${height}" "$app" >/dev/null 2>&1 &
    qm_wait_for 30 find_icon || { echo "the tray icon did not appear" >&2; exit 1; }
    # Let the start-up settle before the first click.
    sleep 1
}

# Right-click on the icon; sets menu_left and menu_top from what changed on the screen.
open_menu() {
    local geometry
    import -window root "$work/before.png"
    xdotool mousemove "$icon_x" "$icon_y" click 3
    sleep 1
    # Away from the icon, so that its tip goes, but off the menu, so nothing is highlighted.
    xdotool mousemove 40 40
    sleep 0.5
    import -window root "$work/menu.png"
    geometry=$(convert "$work/before.png" "$work/menu.png" -compose difference -composite \
        -threshold 5% -trim -format '%X %Y' info:)
    read -r menu_left menu_top <<<"$geometry"
    menu_left=${menu_left#+}
    menu_top=${menu_top#+}
}

menu_open() { [ "$(pixel "$((menu_left + 20))" "$((menu_top + 40))")" != "$background" ]; }

close_menu() {
    xdotool key Escape
    sleep 0.5
    # Escape reaches the menu only when its program holds the keyboard; a click on the empty
    # desktop closes it in any case.
    if menu_open; then
        xdotool mousemove 40 40 click 1
        sleep 0.5
    fi
}

# Items by their distance from the menu's top edge: a 3-pixel frame, 17 pixels an item, 9 a
# separator. Options and Schedule, separator, Defrag, [Stop], Open, separator, About, Exit.
click_item() {  # click_item OFFSET
    xdotool mousemove "$((menu_left + 40))" "$((menu_top + $1))" sleep 0.3 click 1
    sleep 0.5
}
readonly item_defrag=54 item_stop=71

hover_balloon() {  # hover_balloon FILE
    xdotool mousemove "$icon_x" "$icon_y" sleep 0.1 mousemove "$((icon_x + 1))" "$icon_y"
    sleep 1.5
    import -window root "$1"
    xdotool mousemove 40 40
    sleep 0.5
}

exit_program() {
    open_menu
    # Exit is the last item, just above the frame.
    xdotool mousemove "$((menu_left + 40))" "$((menu_top + $(menu_height) - 12))" sleep 0.3 click 1
    qm_wait_for 15 icon_gone || { echo "the program did not end" >&2; exit 1; }
}

menu_height() {
    convert "$work/before.png" "$work/menu.png" -compose difference -composite \
        -threshold 5% -crop "300x$height+$menu_left+0" +repage -trim -format '%h' info:
}

# A daily schedule, so that the balloon has a next defrag to tell.
setting ShowSplash 0
setting ScheduleShown True
setting OptionsShown True
setting ShowExitPrompt 0
setting OccursOption 1
setting StartHour 21
setting StartMinute 30

# 1. No drive selected.
setting ShowCDrive 0
setting ShowZDrive 0
start_program
background=$(pixel 40 40)
open_menu
cp "$work/menu.png" "$out/tray-menu-no-drives.png"
close_menu
exit_program

# 2. Two drives, idle: the balloon and the menu; then a run from the menu.
setting ShowCDrive 1
setting ShowZDrive 1
start_program
hover_balloon "$out/tray-balloon.png"
open_menu
cp "$work/menu.png" "$out/tray-menu-idle.png"
click_item $item_defrag
sleep 3

# 3. During the run.
open_menu
cp "$work/menu.png" "$out/tray-menu-running.png"
close_menu
hover_balloon "$out/tray-balloon-running.png"
open_menu
click_item $item_stop
exit_program

ls -l "$out"/tray-*.png
