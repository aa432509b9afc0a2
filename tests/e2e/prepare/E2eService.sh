#!/usr/bin/env bash
# An all-users installation on Windows 10 ($1 is the prefix): fixed drives C and D, the service
# in Program Files registered by its own /register, with short idle and request times that only
# its own key under HKLM can give.
set -eu
prefix=$1
export WINEPREFIX=$prefix
drives=${QM_SCENARIO_DIR:-$prefix/scenario}/drives
mkdir -p "$drives/d"
ln -sfn "$drives/d" "$prefix/dosdevices/d:"
wine reg add 'HKLM\Software\Wine\Drives' /v d: /d hd /f >/dev/null 2>&1
wine winecfg -v win10 >/dev/null 2>&1
dir="$prefix/drive_c/Program Files/Quillmere"
mkdir -p "$dir"
cp "$QM_WINDOWS_BUILD/QuillmereService.exe" "$dir/"
wine 'C:\Program Files\Quillmere\QuillmereService.exe' /register
parameters='HKLM\System\CurrentControlSet\Services\QuillmereDefrag\Parameters'
wine reg add "$parameters" /v IdleSeconds /t REG_DWORD /d 5 /f >/dev/null 2>&1
wine reg add "$parameters" /v RequestSeconds /t REG_DWORD /d 3 /f >/dev/null 2>&1
wineserver -w
