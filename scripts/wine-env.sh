# Shell functions for running the Windows build under Wine; source this file.
#   qm_wine_env            exports the quiet, prompt-free Wine environment
#   qm_xvfb_start          starts a private Xvfb unless DISPLAY is already usable
#   qm_wine_make_base DIR  creates and boots a prefix once (fonts in), cached by a stamp file
#   qm_wine_boot DIR       make_base + persistent wineserver; exports WINEPREFIX
#   qm_wine_stop           ends the persistent wineserver of WINEPREFIX
#   qm_winpath PATH        a Linux path as Wine sees it (Z:\...)
#   qm_install_doubles PREFIX DIR   puts the stand-in defragmenters into the prefix's system
#                          folder, where the program takes the system's own defrag.exe from
#   qm_remove_doubles PREFIX        takes them out again

qm_wine_env() {
    export WINEARCH=win64
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv=d"
}

qm_winpath() {
    local p
    p=$(readlink -f "$1")
    printf 'Z:%s' "${p//\//\\}"
}

qm_xvfb_start() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
        return 0
    fi
    local n=90
    while [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ]; do n=$((n + 1)); done
    Xvfb ":${n}" -screen 0 "${QM_SCREEN:-1280x800x24}" -nolisten tcp >/dev/null 2>&1 &
    QM_XVFB_PID=$!
    export QM_XVFB_PID
    export DISPLAY=":${n}"
    local i
    for i in $(seq 1 100); do
        [ -e "/tmp/.X11-unix/X${n}" ] && xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.05
    done
    echo "Xvfb did not start on :${n}" >&2
    return 1
}

qm_xvfb_stop() {
    if [ -n "${QM_XVFB_PID:-}" ]; then
        kill "$QM_XVFB_PID" 2>/dev/null || true
        wait "$QM_XVFB_PID" 2>/dev/null || true
        unset QM_XVFB_PID
    fi
}

qm_wine_make_base() {
    mkdir -p "$1"
    local dir
    dir=$(readlink -f "$1")
    local stamp="$dir/.quillmere-base"
    local want
    want="$(wine --version 2>/dev/null) fonts+registry v3"
    if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$want" ]; then
        return 0
    fi
    qm_wine_env
    rm -rf "$dir"
    mkdir -p "$dir"
    WINEPREFIX="$dir" wineboot -i >/dev/null 2>&1
    # Without these, every face resolves to one substitute and text widths are wrong.
    mkdir -p "$dir/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/* "$dir/drive_c/windows/Fonts/" 2>/dev/null || true
    # No window manager under Xvfb: let Wine draw the frames of decorated windows itself.
    WINEPREFIX="$dir" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
    # Nor any window manager to wait for: unmanaged windows hide and close at once, instead of
    # Wine waiting up to 2 s for a manager's answer each time an active window goes.
    WINEPREFIX="$dir" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    # Written to disk only when the server ends: a copy of the prefix must have it all.
    WINEPREFIX="$dir" wineserver -w
    WINEPREFIX="$dir" wineserver -k 2>/dev/null || true
    echo "$want" >"$stamp"
}

qm_wine_boot() {
    local dir
    qm_wine_make_base "$1" || return 1
    dir=$(readlink -f "$1")
    export WINEPREFIX="$dir"
    qm_wine_env
    wineserver -p
    wine wineboot >/dev/null 2>&1
}

qm_install_doubles() {
    local system32="$1/drive_c/windows/system32" name
    for name in defrag contig dfrgntfs; do
        cp -f "$2/$name.exe" "$system32/$name.exe" || return 1
    done
}

qm_remove_doubles() {
    rm -f "$1/drive_c/windows/system32/"{defrag,contig,dfrgntfs}.exe
}

qm_wine_stop() {
    [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
    return 0
}

# For the scripts that drive the program on a screen of their own: the tools they need and a
# Windows build with the program and the stand-in defragmenters. Exits when one is missing.
qm_need_screen_tools_and_build() {  # qm_need_screen_tools_and_build BUILD
    local tool
    for tool in xdotool import convert; do
        command -v "$tool" >/dev/null || { echo "$tool is needed" >&2; exit 1; }
    done
    [ -f "$1/Quillmere.exe" ] && [ -f "$1/doubles/defrag.exe" ] || {
        echo "build Quillmere.exe and the doubles in $1 first" >&2
        exit 1
    }
}

# Polls COMMAND five times a second until it succeeds; false after SECONDS.
qm_wait_for() {  # qm_wait_for SECONDS COMMAND...
    local tries=$(($1 * 5))
    shift
    while ! "$@"; do
        tries=$((tries - 1))
        [ $tries -gt 0 ] || return 1
        sleep 0.2
    done
}

# A fresh copy of the booted base prefix for one script, used from here on; its server is not
# started yet, so that the script may still change what the server reads at its start.
qm_private_prefix() {  # qm_private_prefix BASE PREFIX
    qm_wine_make_base "$1"
    rm -rf "$2"
    mkdir -p "$(dirname "$2")"
    cp -a "$1" "$2"
    export WINEPREFIX=$2
}

# Ends the script's Wine server and display and removes FOLDERS; for its EXIT trap.
qm_private_prefix_cleanup() {  # qm_private_prefix_cleanup FOLDERS...
    wineserver -k 2>/dev/null || true
    qm_xvfb_stop
    rm -rf "$@"
}
