#!/usr/bin/env bash
# Fetches and unpacks Debian's own qt6-base source, the version the host's Qt is, once, for the
# cross build of Qt for Windows. Later runs find it in the cache.
# Usage: scripts/qt-source.sh    (prints the source folder on its last line)
set -euo pipefail

QT_VERSION=6.4.2
# The host Qt provides moc, rcc, uic and Qt6HostInfo, so it must be the same version.
host_version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null || true)
[[ $host_version == "$QT_VERSION"* ]] || {
    echo "qt-source: the host Qt is '$host_version', not $QT_VERSION" >&2
    exit 1
}

work=${XDG_CACHE_HOME:-$HOME/.cache}/bezier7/qt-$QT_VERSION-work
mkdir -p "$work"
source_dir=$(find "$work" -maxdepth 1 -type d -name "qt6-base-$QT_VERSION*" | head -n1)
if [[ -n $source_dir ]]; then
    echo "$source_dir"
    exit 0
fi

# Through an apt configuration of our own: deb-src entries for the archives this system already
# uses, so the system's own configuration stays as it is.
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
echo "qt-source: fetching Debian's qt6-base source" >&2
apt-get "${apt_options[@]}" update -qq >&2
# Unpacked aside and moved in whole, so an interrupted fetch is never taken for the source.
rm -rf "$work/fetch" && mkdir "$work/fetch"
(cd "$work/fetch" && apt-get "${apt_options[@]}" source -qq "qt6-base=$host_version" >&2)
unpacked=$(find "$work/fetch" -maxdepth 1 -type d -name "qt6-base-$QT_VERSION*" | head -n1)
source_dir=$work/$(basename "$unpacked")
mv "$unpacked" "$source_dir" && rm -rf "$work/fetch"
echo "$source_dir"
