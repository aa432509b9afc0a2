#!/usr/bin/env bash
# The setup program and the portable zip, end to end under Wine, in a fresh copy of the booted
# prefix with a wineserver of its own: builds both packages, installs silently for the current
# user, updates over the running program, uninstalls, then installs for all users (with the
# service), updates, and uninstalls. Under Wine every program has administrator rights; the
# probe runs the setup program without them where that matters. Each phase is one test; the
# last line counts them ("install: N passed, N failed").
#   install_test.sh [BUILD_DIR]     (default build/, with build/windows built)
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(readlink -f "${1:-${QM_BUILD_DIR:-$root/build}}")
tree="$build/windows"
# shellcheck source=/dev/null
. "$root/scripts/wine-env.sh"
qm_wine_env
qm_xvfb_start || exit 1
started=$(date +%s%N)

# Tenths of a second since $1 (date +%s%N), as text.
seconds_since() {
    local tenths=$((($(date +%s%N) - $1) / 100000000))
    echo "$((tenths / 10)).$((tenths % 10)) s"
}
phases_passed=0 phases_failed=0 phase_ok=1 phase_name='' phase_start=
phase() {
    end_phase
    phase_name=$1 phase_ok=1 phase_start=$(date +%s%N)
    printf -- '--- %s\n' "$phase_name"
}
end_phase() {
    [ -n "$phase_name" ] || return 0
    if [ "$phase_ok" -eq 1 ]; then
        phases_passed=$((phases_passed + 1))
        echo "ok: $phase_name ($(seconds_since "$phase_start"))"
    else
        phases_failed=$((phases_failed + 1))
        echo "FAILED: $phase_name ($(seconds_since "$phase_start"))"
    fi
    phase_name=
}
# Output goes to a file, not a pipe: programs that Wine or the setup program start in the
# background would keep a pipe open and the test waiting.
check_output=$(mktemp)
check() { # check DESCRIPTION COMMAND...
    local what=$1
    shift
    "$@" >"$check_output" 2>&1
    local status=$?
    if [ "$status" -eq 0 ]; then
        echo "  ok   $what"
    else
        echo "  FAIL $what (exit status $status)"
        tail -n 20 "$check_output" | sed 's/^/       /'
        phase_ok=0
    fi
}

base=${QM_WINE_BASE:-$tree/wine/base}
qm_wine_make_base "$base" || { echo "cannot create the Wine prefix $base" >&2; exit 1; }
export WINEPREFIX="$tree/wine/install"
rm -rf "$WINEPREFIX"
cp -a "$base" "$WINEPREFIX"
finish() {
    wineserver -k 2>/dev/null
    rm -f "$check_output"
    qm_xvfb_stop
}
trap finish EXIT
wineserver -p

c="$WINEPREFIX/drive_c"
for user in "$c"/users/*/; do
    user=$(basename "$user")
    [ "$user" = Public ] || break
done
local_appdata="$c/users/$user/AppData/Local"
user_programs="$c/users/$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
probe="$tree/install_probe.exe"
uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillmere'
settings_key='HKCU\Software\Quillmere\Settings'
service_key='HKLM\System\CurrentControlSet\Services\QuillmereDefrag'

# The values of a registry key as "Name=Value" lines; nothing when the key is absent.
reg_values() {
    wine reg query "$1" 2>/dev/null | tr -d '\r' |
        sed -n 's/^    \([^ ].*[^ ]\)    REG_[A-Z_]*    \(.*\)$/\1=\2/p'
}
has_line() { grep -qxF -- "$2" <<<"$1"; }
lacks_value() { ! grep -q "^$2=" <<<"$1"; }
key_absent() { ! wine reg query "$1" >/dev/null 2>&1; }
# Runs a command line such as "C:\...\Uninstall.exe" /S /CurrentUser.
run_windows_command() {
    local exe=${1#\"}
    exe=${exe%%\"*}
    # shellcheck disable=SC2086  # the arguments are plain words
    wine "$exe" ${1#*\" }
}
wait_until() { # wait_until TENTHS COMMAND...
    local n=$1
    shift
    while ! "$@"; do
        n=$((n - 1))
        [ "$n" -gt 0 ] || return 1
        sleep 0.1
    done
}
gone() { [ ! -e "$1" ]; }
fails() { ! "$@"; }
exits_with() { # exits_with STATUS COMMAND...
    local want=$1
    shift
    "$@"
    [ $? -eq "$want" ]
}
same_file() { cmp -s "$1" "$2"; }
program_pid() { wine "$probe" window QuillmereMenu 15000 | tr -d '\r'; }
start_program() { (cd / && wine "$1" >/dev/null 2>&1 &); }
# Runs the setup program without administrator rights; $setup_pid is its process id.
setup_without_rights() {
    check "setup $* without rights succeeds" \
        wine "$probe" limited "\"$(qm_winpath "$setup")\" $*"
    setup_pid=$(head -n 1 "$check_output" | tr -d '\r')
}
# The running program was started by the setup program without rights, and has none.
check_started_by_setup() {
    check "the program is running again" wine "$probe" window QuillmereMenu 15000
    local origin
    origin=$(wine "$probe" origin QuillmereMenu 15000 | tr -d '\r')
    check "started by the setup program without rights, with none" \
        test "$origin" = "$setup_pid limited"
}

# ---------------------------------------------------------------------------------------------
phase "package: setup program and portable zip"
check "scripts/package.sh builds both" env QM_BUILD_DIR="$build" "$root/scripts/package.sh"
check "the probe builds" cmake --build "$tree" --target install_probe
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$tree/CMakeCache.txt")
setup="$build/dist/Quillmere-$version-setup.exe"
zip="$build/dist/Quillmere-$version-portable.zip"
check "the setup program exists" test -s "$setup"
check "it carries its version" grep -qx "$version" <(strings -el "$setup")
check "the zip holds the program, the README and the licence" \
    test "$(zip -sf "$zip" | sed -n 's/^  //p' | sort | tr '\n' ' ')" = \
    "LICENSE.txt Quillmere.exe README.txt "

# ---------------------------------------------------------------------------------------------
phase "install silently for the current user"
dir="$local_appdata/Programs/Quillmere"
windir="C:\\users\\$user\\AppData\\Local\\Programs\\Quillmere"
check "setup /S /CurrentUser succeeds" wine "$setup" /S /CurrentUser
check "the program is installed" same_file "$dir/Quillmere.exe" "$tree/Quillmere.exe"
check "with its licence and uninstaller" test -s "$dir/LICENSE.txt" -a -s "$dir/Uninstall.exe"
check "a Start-menu shortcut" test -s "$user_programs/Quillmere.lnk"
entry=$(reg_values "HKCU\\$uninstall_key")
for expected in "DisplayName=Quillmere" "DisplayVersion=$version" \
    "Publisher=The Quillmere developers" "DisplayIcon=$windir\\Quillmere.exe,0" \
    "InstallLocation=$windir" "UninstallString=\"$windir\\Uninstall.exe\" /CurrentUser" \
    "QuietUninstallString=\"$windir\\Uninstall.exe\" /S /CurrentUser" \
    "NoModify=0x1" "NoRepair=0x1"; do
    check "uninstall entry: $expected" has_line "$entry" "$expected"
done
check "uninstall entry: EstimatedSize" grep -q '^EstimatedSize=0x[0-9a-f]*[1-9a-f]' <<<"$entry"
check "no entry for all users" key_absent "HKLM\\$uninstall_key"
check "no service" key_absent "$service_key"
check "nor its program" gone "$dir/QuillmereService.exe"

# ---------------------------------------------------------------------------------------------
phase "update over the running program, which comes back with its settings"
# A schedule ahead, so that Exit would ask; the first-run dialogs seen already.
printf '%s\r\n' REGEDIT4 "" "[${settings_key/HKCU/HKEY_CURRENT_USER}]" '"ShowSplash"="0"' \
    '"OptionsShown"="True"' '"ScheduleShown"="True"' '"OccursOption"="1"' '"StartHour"="21"' \
    '"StartMinute"="30"' >"$WINEPREFIX/settings.reg"
wine regedit /S "$(qm_winpath "$WINEPREFIX/settings.reg")" >/dev/null 2>&1
start_program "$windir\\Quillmere.exe"
first=$(program_pid)
check "the installed program starts" test -n "$first"
check "it has not saved its schedule yet" lacks_value "$(reg_values "$settings_key")" UseEndDate
setup_without_rights /S /CurrentUser
check_started_by_setup
check "as a new process" test "$first" != "$(program_pid)"
settings=$(reg_values "$settings_key")
check "it ended as on Exit, saving its schedule" has_line "$settings" "UseEndDate=False"
check "its settings are kept" has_line "$settings" "StartHour=21"

# ---------------------------------------------------------------------------------------------
phase "uninstall silently, keeping the settings and the run log"
mkdir -p "$local_appdata/Quillmere"
echo "a run" >"$local_appdata/Quillmere/runs.log"
startup_link=$(wine "$probe" startup-link "$windir\\Quillmere.exe" | tr -d '\r')
check "a start-up shortcut made as the Options dialog makes it" test -n "$startup_link"
startup_link="$c/${startup_link#C:\\}"
startup_link=${startup_link//\\//}
quiet=$(sed -n 's/^QuietUninstallString=//p' <<<"$entry")
check "the quiet uninstall command succeeds" run_windows_command "$quiet"
# The uninstaller works on from a copy of itself in the temporary folder.
check "the program folder goes" wait_until 150 gone "$dir"
check "the program has ended" wine "$probe" gone QuillmereMenu 5000
check "the Start-menu shortcut goes" gone "$user_programs/Quillmere.lnk"
check "the start-up shortcut goes" gone "$startup_link"
check "the uninstall entry goes" key_absent "HKCU\\$uninstall_key"
check "the settings stay" has_line "$(reg_values "$settings_key")" "StartHour=21"
check "the run log stays" test -s "$local_appdata/Quillmere/runs.log"

# ---------------------------------------------------------------------------------------------
phase "for all users, a folder outside Program Files is refused"
# 161: ERROR_BAD_PATHNAME.
check 'setup /S /AllUsers /D=C:\Quillmere fails' \
    exits_with 161 wine "$setup" /S /AllUsers '/D=C:\Quillmere'
# Wine would quote an argument with a space, and /D= takes none: the probe passes it as it is.
check 'without rights too, /D=C:\Program Files\..\Quillmere' exits_with 161 wine "$probe" limited \
    "\"$(qm_winpath "$setup")\" /S /AllUsers /D=C:\\Program Files\\..\\Quillmere"
check "nothing is installed" gone "$c/Quillmere"
check "no uninstall entry" key_absent "HKLM\\$uninstall_key"
check "no service" key_absent "$service_key"

# ---------------------------------------------------------------------------------------------
phase "install silently for all users, with the service"
dir="$c/Program Files/Quillmere"
windir='C:\Program Files\Quillmere'
check "setup /S /AllUsers succeeds" wine "$setup" /S /AllUsers
check "the program is in Program Files" same_file "$dir/Quillmere.exe" "$tree/Quillmere.exe"
check "the service's program beside it" \
    same_file "$dir/QuillmereService.exe" "$tree/QuillmereService.exe"
service=$(reg_values "$service_key")
for expected in Start=0x3 ObjectName=LocalSystem "ImagePath=\"$windir\\QuillmereService.exe\""; do
    check "the service is registered: $expected" has_line "$service" "$expected"
done
check "no logon task" fails wine "$probe" task exists
check "a Start-menu shortcut for all users" \
    test -s "$c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quillmere.lnk"
entry=$(reg_values "HKLM\\$uninstall_key")
check "uninstall entry under HKLM" has_line "$entry" "InstallLocation=$windir"
check "its quiet uninstall is for all users" \
    has_line "$entry" "QuietUninstallString=\"$windir\\Uninstall.exe\" /S /AllUsers"
check "no entry for the current user" key_absent "HKCU\\$uninstall_key"

# ---------------------------------------------------------------------------------------------
phase "update for all users without rights: the old logon task goes, the program comes back"
start_program "$windir\\Quillmere.exe"
check "the installed program starts" test -n "$(program_pid)"
check "a logon task of an earlier version" wine "$probe" task register
check "the service runs" wine sc start QuillmereDefrag
setup_without_rights /S /AllUsers
check_started_by_setup
check "the service is still registered" test "$(reg_values "$service_key")" = "$service"
check "the logon task is gone" fails wine "$probe" task exists
check "setup /S /AllUsers with the rights already succeeds" wine "$setup" /S /AllUsers
check "and does not start the program" fails wine "$probe" window QuillmereMenu 3000

# ---------------------------------------------------------------------------------------------
phase "uninstall silently for all users, leaving a portable copy running"
start_program "$(qm_winpath "$build/dist/stage/Quillmere.exe")"
portable=$(program_pid)
check "the portable copy starts" test -n "$portable"
quiet=$(sed -n 's/^QuietUninstallString=//p' <<<"$entry")
check "the quiet uninstall command succeeds" run_windows_command "$quiet"
check "the program folder goes" wait_until 150 gone "$dir"
check "the portable copy runs on" test "$(program_pid)" = "$portable"
check "the service goes" key_absent "$service_key"
check "the Start-menu shortcut goes" \
    gone "$c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quillmere.lnk"
check "the uninstall entry goes" key_absent "HKLM\\$uninstall_key"
end_phase

echo "install test took $(seconds_since "$started")"
if [ "$phases_failed" -eq 0 ] && [ -z "${QM_KEEP_PREFIX:-}" ]; then
    wineserver -k 2>/dev/null
    rm -rf "$WINEPREFIX"
fi
echo "install: $phases_passed passed, $phases_failed failed"
[ "$phases_failed" -eq 0 ]
