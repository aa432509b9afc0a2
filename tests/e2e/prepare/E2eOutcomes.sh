#!/usr/bin/env bash
# Windows 10 without the service ($1 is the prefix), with fixed drives C and D.
set -eu
export WINEPREFIX=$1
drives=${QM_SCENARIO_DIR:-$1/scenario}/drives
mkdir -p "$drives/d"
ln -sfn "$drives/d" "$1/dosdevices/d:"
wine reg add 'HKLM\Software\Wine\Drives' /v d: /d hd /f >/dev/null 2>&1
wine winecfg -v win10 >/dev/null 2>&1
# A fresh prefix opens no file type: log files go to Notepad, as on Windows.
wine reg add 'HKCR\.log' /ve /d logfile /f >/dev/null 2>&1
wine reg add 'HKCR\logfile\shell\open\command' /ve /d 'notepad.exe "%1"' /f \
    >/dev/null 2>&1
wineserver -w
