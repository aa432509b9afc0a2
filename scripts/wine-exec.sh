#!/usr/bin/env bash
# CMake's cross-compiling emulator: runs a Windows program of the build under Wine, in the
# prefix and on the display that scripts/test.sh prepared (or the caller's own).
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64
exec wine "$@"
