#!/usr/bin/env bash
# Takes Wine's own system-information program out of the scenario's fresh prefix ($1): with
# nothing registered, the program then has none to start.
set -eu
rm -f "$1/drive_c/windows/system32/msinfo32.exe"
