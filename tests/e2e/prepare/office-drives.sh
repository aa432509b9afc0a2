#!/usr/bin/env bash
# Gives a fresh Wine prefix ($1) the drives of a small office machine before its
# wineserver starts: fixed C, D and E, a CD-ROM drive F and a network drive G.
set -eu
prefix=$1
drives=${QM_SCENARIO_DIR:-$prefix/scenario}/drives
export WINEPREFIX=$prefix

for letter in d e f g; do
    mkdir -p "$drives/$letter"
    ln -sfn "$drives/$letter" "$prefix/dosdevices/$letter:"
done
printf 'Data' >"$drives/d/.windows-label"

# Drive types are read when the server starts; they reach the prefix only when it saves.
# Z: (the Linux root, where the build lies) must stay reachable, so it is typed as a network
# drive rather than removed: only C, D and E count as fixed.
for entry in d:hd e:hd f:cdrom g:network z:network; do
    wine reg add 'HKLM\Software\Wine\Drives' /v "${entry%%:*}:" /d "${entry#*:}" /f >/dev/null 2>&1
done
wineserver -w
