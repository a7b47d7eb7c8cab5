#!/usr/bin/env bash
# Static analysis of bezier7's own sources (core/, ui/, app/, tests/, tools/) with clang-tidy,
# configured by .clang-tidy, and cppcheck, both over the compile database of a build folder
# (build-check unless named). Prints every finding and fails if there is any.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-check}
database="$build/compile_commands.json"
if [ ! -f "$database" ]; then
    echo "analyse: no $database; configure $build with CMAKE_EXPORT_COMPILE_COMMANDS=ON" >&2
    exit 1
fi
jobs=$(nproc)
status=0

# Our translation units, as the build compiles them.
ours() {
    while read -r file; do
        case "$file" in
        "$PWD"/core/* | "$PWD"/ui/* | "$PWD"/app/* | "$PWD"/tests/* | "$PWD"/tools/*) echo "$file" ;;
        esac
    done
}
mapfile -t sources < <(sed -n 's/^ *"file": *"\(.*\)",\{0,1\}$/\1/p' "$database" | ours | sort -u)
if [ ${#sources[@]} -eq 0 ]; then
    echo "analyse: $database lists none of our sources" >&2
    exit 1
fi

echo "clang-tidy: ${#sources[@]} files"
# clang-tidy tells on stderr how many of the toolkit's warnings it left out; only findings count.
if ! printf '%s\n' "${sources[@]}" | xargs -P "$jobs" -n 1 clang-tidy -p "$build" --quiet \
    2> >(grep -vE '^[0-9]+ warnings? generated\.$' >&2); then
    status=1
fi

echo "cppcheck: ${#sources[@]} files"
# cppcheck does not read the toolkit's headers, so the moc output a test includes at its end would
# be half-understood generated code: the tests are checked without it. Its Qt library file tells it
# the toolkit's macros instead; missingIncludeSystem is suppressed because those system headers are
# left unread on purpose.
mkdir -p "$build/cppcheck"
sed -E 's# -I[^ ]*_autogen/include##g' "$database" >"$build/cppcheck/compile_commands.json"
if ! cppcheck --project="$build/cppcheck/compile_commands.json" \
    --file-filter='core/*' --file-filter='ui/*' --file-filter='app/*' --file-filter='tests/*' \
    --file-filter='tools/*' \
    --enable=warning,style,performance,portability --library=qt --inline-suppr \
    --suppress=missingIncludeSystem --error-exitcode=1 --quiet -j "$jobs" --template=gcc; then
    status=1
fi

[ $status -eq 0 ] && echo "analysis: no findings"
exit $status
