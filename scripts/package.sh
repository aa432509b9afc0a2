#!/usr/bin/env bash
# Builds Quillmere.exe and QuillmereService.exe in the Windows tree and packs them for Windows
# users:
#   build/dist/Quillmere-<version>-setup.exe     the setup program (installer/quillmere.nsi); the
#                                                service is for all-users installations only
#   build/dist/Quillmere-<version>-portable.zip  Quillmere.exe, README.txt and LICENSE.txt
# The version is the project's, from CMakeLists.txt.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QM_BUILD_DIR:-$root/build}
tree="$build/windows"
dist="$build/dist"
stage="$dist/stage"

"$root/scripts/setup.sh"

if [ ! -f "$tree/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$tree" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-posix.cmake" \
        >/dev/null
fi
cmake --build "$tree" -j "${QM_JOBS:-$(nproc)}" --target Quillmere QuillmereService >/dev/null

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$tree/CMakeCache.txt")
# The setup program finds and ends a running copy, and stops the service, by names that the
# programs define.
window_class=$(sed -n 's/.*kClassName = L"\([^"]*\)".*/\1/p' "$root/src/win32/app/menu_window.h")
end_now=$(sed -n 's/.*kEndNowMessageName\[\] = L"\([^"]*\)".*/\1/p' \
    "$root/src/win32/app/end_now_message.h")
service=$(sed -n 's/.*kServiceName\[\] = "\([^"]*\)".*/\1/p' \
    "$root/src/core/defrag/service_protocol.h")
for value in version window_class end_now service; do
    if [ -z "${!value}" ]; then
        echo "package.sh: could not read $value from the sources" >&2
        exit 1
    fi
done

rm -rf "$stage"
mkdir -p "$stage"
cp "$tree/Quillmere.exe" "$tree/QuillmereService.exe" "$stage/"
# Plain text with Windows line ends, for Notepad and the setup program's licence page.
sed 's/\r$//; s/$/\r/' "$root/LICENSE" >"$stage/LICENSE.txt"
sed 's/\r$//; s/$/\r/' "$root/README.md" >"$stage/README.txt"

setup="$dist/Quillmere-$version-setup.exe"
portable="$dist/Quillmere-$version-portable.zip"
rm -f "$setup" "$portable"
makensis -V2 -NOCD \
    -DVERSION="$version" -DSTAGE_DIR="$stage" -DOUTFILE="$setup" \
    -DICON="$root/src/win32/res/quillmere.ico" \
    -DMAIN_WINDOW_CLASS="$window_class" -DEND_NOW_MESSAGE="$end_now" -DSERVICE_NAME="$service" \
    "$root/installer/quillmere.nsi"
(cd "$stage" && zip -q -X -9 "$portable" Quillmere.exe README.txt LICENSE.txt)

for file in "$setup" "$portable"; do
    printf '%s  %s bytes\n' "$file" "$(stat -c %s "$file")"
done
