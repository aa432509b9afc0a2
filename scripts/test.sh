#!/usr/bin/env bash
# Builds both trees and runs every test: the core natively (plain, then under ASan/UBSan),
# the Windows layer and the end-to-end scenarios under Wine. Ends with one summary line and a
# non-zero exit status when anything failed.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${QM_BUILD_DIR:-$root/build}
jobs=${QM_JOBS:-$(nproc)}
start=$(date +%s)

"$root/scripts/setup.sh" || exit 1
# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"

passed=0 failed=0 report=()
log_dir="$build/logs"
mkdir -p "$log_dir"

cleanup() {
    qm_wine_stop
    qm_xvfb_stop
}
trap cleanup EXIT

section() { printf '\n=== %s ===\n' "$*"; }

# Runs ctest in a build dir and adds its counts to the totals.
run_ctest() {
    local label=$1 dir=$2
    shift 2
    local log="$log_dir/$label.log"
    (cd "$dir" && ctest --output-on-failure --no-tests=error "$@") 2>&1 | tee "$log"
    local line total nfail
    line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
    if [ -z "$line" ]; then
        failed=$((failed + 1))
        report+=("$label: no test results (see $log)")
        return
    fi
    nfail=$(sed -E 's/.* ([0-9]+) tests? failed.*/\1/' <<<"$line")
    total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    passed=$((passed + total - nfail))
    failed=$((failed + nfail))
    report+=("$label: $((total - nfail)) of $total passed")
}

# The install test counts its phases in a last line "install: N passed, N failed".
run_install_test() {
    local log="$log_dir/install.log" line npass nfail
    bash "$root/tests/install/install_test.sh" "$build" 2>&1 | tee "$log"
    line=$(grep -E '^install: [0-9]+ passed, [0-9]+ failed$' "$log" | tail -n 1)
    if [ -z "$line" ]; then
        failed=$((failed + 1))
        report+=("install: no test results (see $log)")
        return
    fi
    npass=$(sed -E 's/^install: ([0-9]+) passed.*/\1/' <<<"$line")
    nfail=$(sed -E 's/.* ([0-9]+) failed$/\1/' <<<"$line")
    passed=$((passed + npass))
    failed=$((failed + nfail))
    report+=("install: $npass of $((npass + nfail)) passed")
}

build_tree() {
    local label=$1 dir=$2
    shift 2
    section "build: $label"
    local clog="$log_dir/configure-$label.log" blog="$log_dir/build-$label.log"
    if ! cmake -S "$root" -B "$dir" -G Ninja "$@" >"$clog" 2>&1; then
        tail -n 30 "$clog"
        failed=$((failed + 1))
        report+=("$label: CONFIGURE FAILED (see $clog)")
        return 1
    fi
    if ! cmake --build "$dir" -j "$jobs" >"$blog" 2>&1; then
        grep -E -A5 'error|FAILED' "$blog" | head -n 60
        failed=$((failed + 1))
        report+=("$label: BUILD FAILED (see $blog)")
        return 1
    fi
    grep -E 'warning:' "$blog" | head -n 20
    echo "built $label"
}

if build_tree native "$build/native"; then
    section "native core tests"
    run_ctest native "$build/native" -j "$jobs"
fi
if build_tree native-sanitized "$build/native-sanitized" -DQM_SANITIZE=ON -DQM_BENCHMARKS=OFF; then
    section "native core tests under ASan/UBSan"
    run_ctest native-sanitized "$build/native-sanitized"
fi
if build_tree windows "$build/windows" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-posix.cmake"; then
    qm_xvfb_start
    export QM_WINE_BASE="$build/windows/wine/base"
    section "Wine prefix"
    t0=$(date +%s)
    qm_wine_make_base "$QM_WINE_BASE"
    qm_wine_boot "$QM_WINE_BASE"
    # Every test and scenario finds the stand-in defragmenters where Windows keeps its own.
    qm_install_doubles "$QM_WINE_BASE" "$build/windows/doubles"
    echo "prefix ready in $(( $(date +%s) - t0 )) s: $QM_WINE_BASE (display $DISPLAY)"
    export QM_DOUBLES_DIR
    QM_DOUBLES_DIR=$(qm_winpath "$build/windows/doubles")
    section "Windows tests under Wine"
    run_ctest windows "$build/windows" -L wine -LE e2e
    qm_wine_stop
    section "end-to-end scenarios under Wine"
    run_ctest e2e "$build/windows" -L e2e
    section "install test under Wine"
    run_install_test
fi

section "summary"
for line in "${report[@]}"; do echo "  $line"; done
echo "  time: $(( $(date +%s) - start )) s"
echo "Summary: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
