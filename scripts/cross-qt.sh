#!/usr/bin/env bash
# Builds Qt (qtbase: Core, Gui, Widgets and the Windows platform plugin), static, from Debian's
# own qt6-base source, once, for 64-bit Windows: later runs find it in the cache and print its
# prefix.
# Usage: scripts/cross-qt.sh windows    (prints the install prefix on its last line)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
target=${1:?usage: scripts/cross-qt.sh windows}

QT_VERSION=6.4.2
# Only what the program uses.
OPTIONS=(
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_testlib=OFF -DFEATURE_concurrent=OFF
    -DFEATURE_vulkan=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_icu=OFF
    -DFEATURE_zstd=OFF
)
case $target in
windows)
    # Tablet support needs wintab.h, which Debian's source leaves out. Dynamic OpenGL stays on
    # by itself when OpenGL is off, and the Windows plugin then fails to build. Direct2D stays
    # on: the DirectWrite font database the Windows plugin links comes with it.
    OPTIONS+=(-DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_freetype=OFF
        -DFEATURE_fontconfig=OFF -DFEATURE_tabletevent=OFF)
    toolchain=$root/cmake/mingw-w64-x86_64.cmake
    minutes="15 to 40"
    ;;
*)
    echo "usage: scripts/cross-qt.sh windows" >&2
    exit 2
    ;;
esac

key=$( (printf '%s\n' "${OPTIONS[@]}"; cat "$toolchain") | sha256sum | cut -c1-8)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/bezier7
prefix=$cache/qt-$QT_VERSION-$target-static-$key
if [[ -f $prefix/.complete ]]; then
    echo "$prefix"
    exit 0
fi

source_dir=$("$root/scripts/qt-source.sh" | tail -n1)
build=$cache/qt-$QT_VERSION-work/build-$target-$key
echo "cross-qt: configuring Qt $QT_VERSION for $target (log: $build/qt-build.log)" >&2
mkdir -p "$build"
cmake -S "$source_dir" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    "${OPTIONS[@]}" >"$build/qt-build.log" 2>&1 || {
    tail -n 30 "$build/qt-build.log" >&2
    exit 1
}

# Ninja's "[done/total]" lines become one progress line: this is the step a user waits for.
echo "cross-qt: building (about $minutes minutes on two cores; once)" >&2
set +e
cmake --build "$build" -j"$(nproc)" 2>&1 | tee -a "$build/qt-build.log" |
    awk -F'[][/]' -v target="$target" '/^\[[0-9]+\/[0-9]+\]/ {
        percent = int(100 * $2 / $3)
        if (percent != last) { printf "\rcross-qt: %s %3d%% (%d of %d steps)", target, percent, $2, $3 > "/dev/stderr"; last = percent }
    } END { printf "\n" > "/dev/stderr" }'
status=${PIPESTATUS[0]}
set -e
if [[ $status -ne 0 ]]; then
    grep -m5 -B2 -A10 'FAILED:' "$build/qt-build.log" >&2 || tail -n 30 "$build/qt-build.log" >&2
    exit 1
fi
cmake --install "$build" >>"$build/qt-build.log" 2>&1
touch "$prefix/.complete"
# The build folder is over a gigabyte; the install is all that later builds need.
rm -rf "$build"
echo "$prefix"
