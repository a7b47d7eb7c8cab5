#!/usr/bin/env bash
# Builds Qt (qtbase: Core, Gui, Widgets and the Windows platform plugin) for 64-bit Windows, static,
# from Debian's own qt6-base source, once: later runs find it in the cache and print its prefix.
# Usage: scripts/windows-qt.sh    (prints the install prefix on its last line)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

QT_VERSION=6.4.2
# The host Qt provides moc, rcc, uic and Qt6HostInfo, so it must be the same version.
host_version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null || true)
[[ $host_version == "$QT_VERSION"* ]] || {
    echo "windows-qt: the host Qt is '$host_version', not $QT_VERSION" >&2
    exit 1
}

# Only what the program uses. Tablet support needs wintab.h, which Debian's source leaves out.
# Dynamic OpenGL stays on by itself when OpenGL is off, and the Windows plugin then fails to
# build. Direct2D stays on: the DirectWrite font database the Windows plugin links comes with it.
OPTIONS=(
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_testlib=OFF -DFEATURE_concurrent=OFF
    -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_vulkan=OFF
    -DFEATURE_freetype=OFF -DFEATURE_fontconfig=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF
    -DFEATURE_icu=OFF -DFEATURE_zstd=OFF -DFEATURE_tabletevent=OFF
)
toolchain=$root/cmake/mingw-w64-x86_64.cmake
key=$( (printf '%s\n' "${OPTIONS[@]}"; cat "$toolchain") | sha256sum | cut -c1-8)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/bezier7
prefix=$cache/qt-$QT_VERSION-mingw-static-$key
if [[ -f $prefix/.complete ]]; then
    echo "$prefix"
    exit 0
fi

work=$cache/qt-$QT_VERSION-work
mkdir -p "$work"

# Debian's source package, through an apt configuration of our own: deb-src entries for the
# archives this system already uses, so the system's own configuration stays as it is.
source_dir=$(find "$work" -maxdepth 1 -type d -name "qt6-base-$QT_VERSION*" | head -n1)
if [[ -z $source_dir ]]; then
    apt_dir=$work/apt
    rm -rf "$apt_dir" && mkdir -p "$apt_dir/lists/partial" "$apt_dir/parts"
    grep -hs '^deb ' /etc/apt/sources.list /etc/apt/sources.list.d/*.list |
        sed 's/^deb /deb-src /' >"$apt_dir/sources.list" || true
    for file in /etc/apt/sources.list.d/*.sources; do
        if [[ -f $file ]]; then
            sed 's/^Types: *deb$/Types: deb-src/' "$file" >"$apt_dir/parts/$(basename "$file")"
        fi
    done
    apt_options=(-o "Dir::Etc::sourcelist=$apt_dir/sources.list" -o "Dir::Etc::sourceparts=$apt_dir/parts"
        -o "Dir::State::Lists=$apt_dir/lists")
    echo "windows-qt: fetching Debian's qt6-base source" >&2
    apt-get "${apt_options[@]}" update -qq >&2
    # Unpacked aside and moved in whole, so an interrupted fetch is never taken for the source.
    rm -rf "$work/fetch" && mkdir "$work/fetch"
    (cd "$work/fetch" && apt-get "${apt_options[@]}" source -qq "qt6-base=$host_version" >&2)
    unpacked=$(find "$work/fetch" -maxdepth 1 -type d -name "qt6-base-$QT_VERSION*" | head -n1)
    source_dir=$work/$(basename "$unpacked")
    mv "$unpacked" "$source_dir" && rm -rf "$work/fetch"
fi

build=$work/build-$key
echo "windows-qt: configuring Qt $QT_VERSION for Windows (log: $build/qt-build.log)" >&2
mkdir -p "$build"
cmake -S "$source_dir" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    "${OPTIONS[@]}" >"$build/qt-build.log" 2>&1 || {
    tail -n 30 "$build/qt-build.log" >&2
    exit 1
}

# Ninja's "[done/total]" lines become one progress line: this is the step a user waits for.
echo "windows-qt: building (about 35 minutes on two cores; once)" >&2
set +e
cmake --build "$build" -j"$(nproc)" 2>&1 | tee -a "$build/qt-build.log" |
    awk -F'[][/]' '/^\[[0-9]+\/[0-9]+\]/ {
        percent = int(100 * $2 / $3)
        if (percent != last) { printf "\rwindows-qt: %3d%% (%d of %d steps)", percent, $2, $3 > "/dev/stderr"; last = percent }
    } END { printf "\n" > "/dev/stderr" }'
status=${PIPESTATUS[0]}
set -e
if [[ $status -ne 0 ]]; then
    grep -m5 -B2 -A10 'FAILED:' "$build/qt-build.log" >&2 || tail -n 30 "$build/qt-build.log" >&2
    exit 1
fi
cmake --install "$build" >>"$build/qt-build.log" 2>&1
touch "$prefix/.complete"
# The build folder is 1.6 GB; the install is all that later builds need.
rm -rf "$build"
echo "$prefix"
