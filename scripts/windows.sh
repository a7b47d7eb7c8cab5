#!/usr/bin/env bash
# Builds bezier7 for 64-bit Windows, statically linked with the Qt that scripts/cross-qt.sh
# builds once, and packs it: build-windows/bezier7.exe (stripped), the archive
# bezier7-<version>-windows-x64.zip and the installer bezier7-<version>-setup.exe, both with the
# licence texts and the note on Qt's sources.
# BEZIER7_WINDOWS_QT, if set, names the install prefix of another static Qt to link with.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh windows
qt=${BEZIER7_WINDOWS_QT:-$(scripts/cross-qt.sh windows | tail -n1)}

build="build-windows"
# Qt's toolchain file adds Qt to the places searched and loads ours, named here since the one Qt
# recorded may lie in another checkout. No tests or benchmark: they run on Linux, the Windows
# program under Wine from the Linux build.
cmake -S . -B $build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DBUILD_TESTING=OFF -DBEZIER7_BENCH=OFF -DCMAKE_EXE_LINKER_FLAGS="-static -s" >/dev/null
cmake --build $build
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' $build/CMakeCache.txt)

# What Explorer shows of the executable: its icon, and the version in its version record (read
# by the system Python, which python3-pefile serves).
wrestool --list --type=group_icon $build/bezier7.exe | grep -q . || {
    echo "windows: bezier7.exe has no icon" >&2
    exit 1
}
/usr/bin/python3 - $build/bezier7.exe "$version" <<'EOF'
import sys, pefile
strings = {key.decode(): value.decode() for info in pefile.PE(sys.argv[1]).FileInfo[0]
           if info.Key == b"StringFileInfo" for table in info.StringTable
           for key, value in table.entries.items()}
if strings.get("FileVersion") != sys.argv[2] or strings.get("ProductVersion") != sys.argv[2]:
    sys.exit(f"windows: bezier7.exe's version record is not {sys.argv[2]}: {strings}")
EOF

# The files that go out, with Windows line ends on the texts.
stage=$build/stage
rm -rf $stage && mkdir -p $stage
cp $build/bezier7.exe $stage/
crlf() { sed 's/\r*$/\r/' "$1" >"$2"; }
crlf LICENSE $stage/LICENSE.txt
crlf /usr/share/common-licenses/LGPL-3 $stage/Qt-LGPL-3.0.txt
crlf /usr/share/common-licenses/GPL-3 $stage/GPL-3.0.txt
sed -e "s/@VERSION@/$version/" \
    -e "s/@QT_DEBIAN_VERSION@/$(dpkg-query -W -f='${Version}' qt6-base-dev)/" \
    packaging/windows/Qt-NOTICE.txt.in >$stage/Qt-NOTICE.tmp
crlf $stage/Qt-NOTICE.tmp $stage/Qt-NOTICE.txt && rm $stage/Qt-NOTICE.tmp

zip=$build/bezier7-$version-windows-x64.zip
rm -f "$zip"
(cd $stage && zip -q -X ../"$(basename "$zip")" ./*)
makensis -V2 -DVERSION="$version" -DSTAGE="$PWD/$stage" -DICON="$PWD/app/icons/bezier7.ico" \
    -DOUTFILE="$PWD/$build/bezier7-$version-setup.exe" packaging/windows/bezier7.nsi
echo "windows: $build/bezier7.exe, $zip, $build/bezier7-$version-setup.exe"
