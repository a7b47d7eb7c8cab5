#!/usr/bin/env bash
# Builds bezier7 for the browser with Debian's emscripten, the forms layer on the page's own
# elements, and lays out the site in build-web/: index.html (its style sheet inside), the program
# (bezier7.js, bezier7.wasm), the service worker, the manifest and the icons. Any static web server
# serves it, given the type application/wasm for .wasm.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh web
export NODE_PATH=/usr/share/nodejs # emcc's JavaScript tools need Debian's node modules (acorn)

site=build-web
build=$site/cmake
# No tests or benchmark: the program is tested in browsers (make test-web).
cmake -S . -B $build -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake \
    -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
cmake --build $build

# The program's files go into a folder named after their contents, which the page and the service
# worker name: a page loads one build whole, and a new build is new files, in no cache yet.
program=(bezier7.js bezier7.wasm)
style=ui/platform/page/forms.css
build_id=program-$(cat "${program[@]/#/$build/}" web/index.html $style | sha256sum | cut -c1-12)
# Each file is also kept compressed beside it, for a host that sends such a file as it stands when
# the browser accepts its encoding, rather than compressing it anew for every visitor.
if [[ ! -f $site/$build_id/bezier7.wasm.br ]]; then
    rm -rf $site/program-*
    mkdir -p $site/$build_id
    cp "${program[@]/#/$build/}" $site/$build_id/
    for file in "${program[@]}"; do
        gzip -9 -n -k $site/$build_id/$file
        brotli -q 11 -k $site/$build_id/$file
    done
fi
# The page, with the forms layer's style sheet inside it: one request fewer before the first frame.
sed -e "s/@BUILD@/$build_id/g" -e "/@STYLE@/{r $style" -e "d}" web/index.html >$site/index.html
cp web/manifest.json $site/
cp app/icons/bezier7.svg app/icons/bezier7-192.png app/icons/bezier7-512.png $site/
# What the page needs to open offline; the install icons the browser fetches itself, when asked.
files='"./", "manifest.json", "bezier7.svg"'
for file in "${program[@]}"; do
    files="$files, \"$build_id/$file\""
done
sed -e "s/@BUILD@/$build_id/" -e "s|@FILES@|$files|" web/sw.js >$site/sw.js
size() { stat -c %s "$1"; }
echo "web: build-web/index.html; bezier7.wasm $(size $site/$build_id/bezier7.wasm) B," \
    "$(size $site/$build_id/bezier7.wasm.gz) B as .gz, bezier7.js $(size $site/$build_id/bezier7.js) B," \
    "$(size $site/$build_id/bezier7.js.gz) B as .gz"
