#!/usr/bin/env bash
# The scheduled run checks the command lines of Windows XP: the prefix ($1) reports that system.
set -eu
export WINEPREFIX=$1
wine winecfg -v winxp64 >/dev/null 2>&1
wineserver -w
