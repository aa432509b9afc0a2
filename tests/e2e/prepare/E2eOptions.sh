#!/usr/bin/env bash
# The office machine's drives (fixed C, D and E) on a prefix reporting Windows XP ("defrag e: -f").
set -eu
bash "$(dirname "$0")/office-drives.sh" "$1"
WINEPREFIX=$1 wine winecfg -v winxp64 >/dev/null 2>&1
WINEPREFIX=$1 wineserver -w
