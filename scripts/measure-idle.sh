#!/usr/bin/env bash
# Measures what Quillmere.exe costs while it sits idle in the tray under Wine, beside a bare
# tray program (tools/minimal-tray) in the same prefix: CPU time over the idle window, as
# seconds and as a share of one core, peak resident memory since start (VmHWM) and resident
# memory at the end (VmRSS). The CPU time of the prefix's wineserver and of explorer.exe (which
# hosts the tray) over the same window is shown too: under Wine a program's timers and messages
# are server work, and tray updates are drawn by explorer. The bare program's row is the floor.
#   scripts/measure-idle.sh [SECONDS]     (default 60)
# Environment: QM_WIN_BUILD   the Windows build tree (default build/windows)
#              QM_WINE_BASE   the booted base prefix to copy (default $QM_WIN_BUILD/wine/base)
#              QM_SETTLE      seconds to let each program settle before the window (default 5)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
settle=${QM_SETTLE:-5}
case "$seconds$settle" in
    *[!0-9]* | "") echo "usage: $0 [SECONDS] (whole seconds)" >&2; exit 2 ;;
esac
[ "$seconds" -gt 0 ] || { echo "SECONDS must be positive" >&2; exit 2; }
build=$(readlink -f "${QM_WIN_BUILD:-$root/build/windows}")
base=${QM_WINE_BASE:-$build/wine/base}

die() { echo "measure-idle: $*" >&2; exit 1; }

"$root/scripts/setup.sh"
# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"

if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-posix.cmake" >/dev/null
fi
cmake --build "$build" --target Quillmere minimal_tray >/dev/null || die "build failed in $build"

qm_wine_env
qm_xvfb_start || die "no display"
qm_wine_make_base "$base" || die "cannot create the Wine prefix $base"
prefix="$build/wine/idle"
rm -rf "$prefix"
mkdir -p "$(dirname "$prefix")"
cp -a "$base" "$prefix"
export WINEPREFIX="$prefix"
cleanup() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    qm_xvfb_stop
    rm -rf "$prefix"
}
trap cleanup EXIT
wineserver -p
wine wineboot >/dev/null 2>&1

# Straight into the tray: no splash, and the first-run windows count as already seen.
settings='HKCU\Software\Quillmere\Settings'
wine reg add "$settings" /v ShowSplash /d 0 /f >/dev/null
wine reg add "$settings" /v OptionsShown /d True /f >/dev/null
wine reg add "$settings" /v ScheduleShown /d True /f >/dev/null

# The Linux process of a program running in this prefix (other prefixes may run the same exe).
find_pid() {
    local pid
    for pid in $(pgrep -f -- "$1"); do
        if grep -qzxF "WINEPREFIX=$prefix" "/proc/$pid/environ" 2>/dev/null; then
            echo "$pid"
            return 0
        fi
    done
    return 1
}

# One sample of a process: "TICKS NS SWITCHES". TICKS is utime + stime from /proc/PID/stat
# (the name field may hold blanks: skip past it), in clock ticks; the tick accounting can miss
# short wake-ups, so NS adds the exact on-CPU time of its threads (schedstat) and SWITCHES
# their context switches, which follow how often an idle program wakes.
sample() {
    local stat ns switches
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
    ns=$(awk '{ n += $1 } END { print n + 0 }' "/proc/$1"/task/*/schedstat 2>/dev/null)
    switches=$(awk '/ctxt_switches/ { n += $2 } END { print n + 0 }' \
        "/proc/$1"/task/*/status 2>/dev/null)
    # shellcheck disable=SC2086
    set -- ${stat##*) }
    echo "$((${12} + ${13})) $ns $switches"
}

status_kib() { awk -v k="$2:" '$1 == k { print $2 }' "/proc/$1/status"; }

hz=$(getconf CLK_TCK)
server=$(find_pid wineserver) || die "wineserver of $prefix not found"
rows=()

# Starts one program, lets it settle, samples it over the idle window, then ends it.
measure() {
    local label=$1 exe=$2 name pid explorer p0 p1 s0 s1 e0 e1 hwm rss
    name=$(basename "$exe")
    [ -f "$exe" ] || die "$exe does not exist"
    wine "$(qm_winpath "$exe")" >/dev/null 2>&1 &
    pid=
    for _ in $(seq 1 100); do
        pid=$(find_pid "$name") && break
        sleep 0.2
    done
    [ -n "$pid" ] || die "$name did not start (no process found with pgrep -f $name)"
    sleep "$settle"
    explorer=$(find_pid explorer.exe) || die "explorer.exe, which hosts the tray, not found"
    p0=$(sample "$pid") || die "$name (pid $pid) ended while settling"
    s0=$(sample "$server") || die "wineserver (pid $server) ended"
    e0=$(sample "$explorer") || die "explorer.exe (pid $explorer) ended"
    echo "measuring $label (pid $pid) for $seconds s..." >&2
    sleep "$seconds"
    p1=$(sample "$pid") || die "$name (pid $pid) ended during the idle window"
    s1=$(sample "$server") || die "wineserver (pid $server) ended"
    e1=$(sample "$explorer") || die "explorer.exe (pid $explorer) ended"
    hwm=$(status_kib "$pid" VmHWM)
    rss=$(status_kib "$pid" VmRSS)
    rows+=("$(echo "$p0 $p1 $s0 $s1 $e0 $e1" | awk -v l="$label" -v hz="$hz" -v n="$seconds" \
        -v h="$hwm" -v r="$rss" '{
            printf "%-16s %7.2f %7.2f %8.1f %8d %8.1f %8.1f %8.2f %8.1f %9.1f\n", l,
                ($4 - $1) / hz, 100 * ($4 - $1) / hz / n, ($5 - $2) / 1e6, $6 - $3,
                h / 1024, r / 1024, ($10 - $7) / hz, ($11 - $8) / 1e6, ($17 - $14) / 1e6 }')")
    # Ask politely (WM_CLOSE to its windows) first, so the next window starts without it.
    wine taskkill /im "$name" >/dev/null 2>&1 || true
    for _ in $(seq 1 25); do
        [ -d "/proc/$pid" ] || return 0
        sleep 0.2
    done
    echo "$name did not close within 5 s: ending it" >&2
    wine taskkill /f /im "$name" >/dev/null 2>&1 || kill "$pid" 2>/dev/null || true
}

measure Quillmere.exe "$build/Quillmere.exe"
measure minimal_tray.exe "$build/tools/minimal_tray.exe"

echo "Idle in the tray for $seconds s each (Wine $(wine --version), after ${settle} s to settle):"
printf '%-16s %7s %7s %8s %8s %8s %8s %8s %8s %9s\n' program "CPU s" "% core" "CPU ms" \
    switches "peak MiB" "RSS MiB" "server s" "srv ms" "explr ms"
printf '%s\n' "${rows[@]}"
