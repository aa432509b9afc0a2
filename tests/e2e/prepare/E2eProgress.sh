#!/usr/bin/env bash
# The prefix ($1) reports Windows 10, whose defragmenter prints its progress as it works.
set -eu
export WINEPREFIX=$1
wine winecfg -v win10 >/dev/null 2>&1
wineserver -w
