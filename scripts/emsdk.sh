#!/usr/bin/env bash
# Lays out Debian's emscripten as the emsdk folder that Qt's WebAssembly support looks for
# (EMSDK/upstream/emscripten and EMSDK/.emscripten), once, in the cache.
# Usage: eval "$(scripts/emsdk.sh)"    (exports EMSDK and NODE_PATH)
set -euo pipefail

emsdk=${XDG_CACHE_HOME:-$HOME/.cache}/bezier7/emsdk
root=$emsdk/upstream/emscripten
if [[ ! -x $root/emcc ]]; then
    mkdir -p "$root"
    # The tools' wrappers in /usr/bin, and the rest (cmake modules, system libraries, already
    # built in a frozen cache) from Debian's tree.
    for entry in /usr/share/emscripten/*; do
        ln -sfn "$entry" "$root/$(basename "$entry")"
    done
    for tool in emcc em++ emar emranlib; do
        ln -sfn "/usr/bin/$tool" "$root/$tool"
    done
    echo "EMSCRIPTEN_ROOT = emsdk_path + '/upstream/emscripten'" >"$emsdk/.emscripten"
fi
# emcc runs JavaScript tools that need Debian's node modules (acorn); a node that is not
# Debian's own does not look there.
echo "export EMSDK='$emsdk' NODE_PATH='/usr/share/nodejs'"
