#!/usr/bin/env bash
# Builds bezier7 for the browser with the WebAssembly Qt that scripts/cross-qt.sh builds once,
# and lays out the site in build-web/: index.html, the program (bezier7.js, bezier7.wasm), Qt's
# loader (qtloader.js) and the icons. Any static web server serves it, given the type
# application/wasm for .wasm.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh web
qt=$(scripts/cross-qt.sh web | tail -n1)
eval "$(scripts/emsdk.sh)"

site=build-web
# One build folder for each Qt: CMake keeps the toolchain file of its first configuration.
build=$site/cmake-${qt##*-}
# Linked for size: wasm-opt's -Oz on the whole program. No tests or benchmark: the program is
# tested in a browser (make test-web).
cmake -S . -B $build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$EMSDK/upstream/emscripten/cmake/Modules/Platform/Emscripten.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DBUILD_TESTING=OFF -DBEZIER7_BENCH=OFF -DCMAKE_EXE_LINKER_FLAGS="-Oz" >/dev/null
echo "web: building the program (about a minute and a half, most of it the final link)" >&2
cmake --build $build

# The program's files go into a folder named after their contents, which the page and the service
# worker name: a page loads one build whole, and a new build is new files, in no cache yet.
program=(qtloader.js bezier7.js bezier7.wasm)
build_id=program-$(cat "${program[@]/#/$build/}" web/index.html | sha256sum | cut -c1-12)
# Each file is also kept compressed beside it, for a host that sends such a file as it stands when
# the browser accepts its encoding, rather than compressing it anew for every visitor. Brotli's
# best takes half a minute, so an unchanged build keeps its folder.
if [[ ! -f $site/$build_id/bezier7.wasm.br ]]; then
    rm -rf $site/program-*
    mkdir -p $site/$build_id
    cp "${program[@]/#/$build/}" $site/$build_id/
    for file in "${program[@]}"; do
        gzip -9 -n -k $site/$build_id/$file
        brotli -q 11 -k $site/$build_id/$file
    done
fi
# The page is our own; Qt's page and logo stay behind.
sed "s/@BUILD@/$build_id/g" web/index.html >$site/index.html
cp web/manifest.json $site/
cp app/icons/bezier7.svg app/icons/bezier7-32.png app/icons/bezier7-192.png \
    app/icons/bezier7-512.png $site/
files='"./", "manifest.json", "bezier7.svg", "bezier7-32.png", "bezier7-192.png", "bezier7-512.png"'
for file in "${program[@]}"; do
    files="$files, \"$build_id/$file\""
done
sed -e "s/@BUILD@/$build_id/" -e "s|@FILES@|$files|" web/sw.js >$site/sw.js
size() { awk -v bytes="$(stat -c %s "$1")" 'BEGIN { printf "%.1f MiB", bytes / 1048576 }'; }
wasm=$site/$build_id/bezier7.wasm
echo "web: build-web/index.html; bezier7.wasm $(size $wasm), $(size $wasm.gz) as .gz, $(size $wasm.br) as .br"
