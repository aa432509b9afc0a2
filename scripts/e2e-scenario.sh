#!/usr/bin/env bash
# Runs one end-to-end scenario (a test suite of e2e_tests.exe) in a fresh copy of the booted
# Wine prefix, with a wineserver of its own for the length of the scenario.
#   e2e-scenario.sh SUITE E2E_EXE QUILLMERE_EXE DOUBLES_DIR
set -u
suite=$1 e2e_exe=$2 app_exe=$3 doubles=$4
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=$(cd "$(dirname "$e2e_exe")" && pwd)
# shellcheck source=wine-env.sh
. "$here/wine-env.sh"
qm_wine_env
qm_xvfb_start || exit 1
# A private display started here goes with the scenario, however it ends.
trap qm_xvfb_stop EXIT

base=${QM_WINE_BASE:-$build/wine/base}
qm_wine_make_base "$base" || { echo "cannot create the Wine prefix $base" >&2; exit 1; }

prefix="$build/wine/e2e/$suite"
rm -rf "$prefix"
mkdir -p "$(dirname "$prefix")"
cp -a "$base" "$prefix"
qm_install_doubles "$prefix" "$doubles"
export WINEPREFIX="$prefix"
export QM_SCENARIO_DIR="$prefix/scenario"
mkdir -p "$QM_SCENARIO_DIR"

prepare="$root/tests/e2e/prepare/$suite.sh"
# The preparation may take other programs of the build (the service) from here.
export QM_WINDOWS_BUILD="$build"
if [ -f "$prepare" ]; then
    bash "$prepare" "$prefix" || { echo "preparation of $suite failed" >&2; exit 1; }
fi

export QM_APP_EXE QM_DOUBLES_DIR QM_SCENARIO_WINDIR QM_REPO_WINDIR
QM_APP_EXE=$(qm_winpath "$app_exe")
QM_DOUBLES_DIR=$(qm_winpath "$doubles")
QM_SCENARIO_WINDIR=$(qm_winpath "$QM_SCENARIO_DIR")
QM_REPO_WINDIR=$(qm_winpath "$root")

wineserver -p
# Wine's traces of the programs a scenario starts (WINEDEBUG in their environment) come out on
# this error output: a copy in the scenario's folder lets the scenario read them.
wine "$e2e_exe" --gtest_filter="$suite.*" --gtest_color=no 2> >(tee "$QM_SCENARIO_DIR/stderr.log" >&2)
rc=$?
# Screenshots a scenario left as BMP files become PNG files in build/screenshots/.
for shot in "$QM_SCENARIO_DIR"/screenshots/*.bmp; do
    [ -f "$shot" ] || continue
    mkdir -p "$root/build/screenshots"
    convert "$shot" "$root/build/screenshots/$(basename "${shot%.bmp}").png" ||
        echo "could not convert the screenshot $shot" >&2
done
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
if [ $rc -eq 0 ] && [ -z "${QM_KEEP_PREFIX:-}" ]; then
    rm -rf "$prefix"
fi
qm_xvfb_stop
exit $rc
