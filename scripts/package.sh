#!/usr/bin/env bash
# Builds the Debian package with Debian's own tools (debian/) from a copy of the sources in
# build-package/, so the work tree and its parent stay clean, then checks it: lintian, the desktop
# entry, the AppStream metadata, and Debian's hardening flags on every compile and link line of
# the build log (blhc). Any error fails; lintian's warnings are printed, and README lists them.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build-package
version=$(dpkg-parsechangelog -S Version)
source="$out/bezier7-$version"
deb="$out/bezier7_${version}_$(dpkg-architecture -qDEB_HOST_ARCH).deb"

rm -rf "$out"
mkdir -p "$source"
tar --exclude=./.git --exclude='./build*' -cf - . | tar -xf - -C "$source"
echo "Building $deb (log: $out/build.log)"
if ! (cd "$source" && dpkg-buildpackage -b -us -uc -j"$(nproc)") >"$out/build.log" 2>&1; then
    tail -n 30 "$out/build.log" >&2
    echo "package: the build failed; the whole log is $out/build.log" >&2
    exit 1
fi

echo "lintian:"
lintian --fail-on error "$deb"
echo "desktop-file-validate:"
desktop-file-validate app/bezier7.desktop
echo "appstreamcli:"
appstreamcli validate --no-net --pedantic app/org.example.bezier7.metainfo.xml
echo "blhc (hardening flags in the build log):"
blhc --bindnow "$out/build.log"
echo "every compile and link line has them"
echo "Package: $deb"
