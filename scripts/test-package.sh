#!/usr/bin/env bash
# The installed-package test. Builds the Debian package (make package), installs it with apt as a
# user would, and checks the installed program: two of the real-window tests drive /usr/bin/bezier7
# under Xvfb (the window appears with its first curve; the program ends with status 0 once its
# windows are closed), and the desktop entry, the AppStream metadata and the icons must lie where
# the desktop looks for them. Then it purges the package and whatever apt brought in with it.
# Installing needs root, or sudo without a password; without either the test is skipped.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "$(id -u)" -eq 0 ]; then
    as_root=()
elif command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
    as_root=(sudo -n)
else
    echo "test-package: skipped: installing a package needs root, or sudo without a password"
    exit 0
fi
installed() { dpkg-query -W -f='${Package} ${db:Status-Status}\n' | awk '$2 == "installed" { print $1 }' | sort; }
if installed | grep -qx bezier7; then
    echo "test-package: skipped: bezier7 is installed here already, and the test would remove it"
    exit 0
fi

make build
make package
deb=$(ls build-package/bezier7_*_*.deb)
apt=("${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -y -q -o DPkg::Lock::Timeout=300)

before=$(mktemp)
installed >"$before"
# Leaves the machine as the test found it, whatever happened: the package goes, and so does any
# package that came with it.
purge() {
    local brought
    brought=$(installed | comm -13 "$before" -)
    rm -f "$before"
    [ -z "$brought" ] && return 0
    echo "test-package: purging" $brought
    # shellcheck disable=SC2086
    "${apt[@]}" purge $brought >/dev/null
}
trap purge EXIT
"${apt[@]}" install "./$deb"

failures=0
check() {
    local output
    if output=$("$@" 2>&1); then
        echo "ok: $*"
    else
        printf '%s\nFAILED: %s\n' "$output" "$*"
        failures=$((failures + 1))
    fi
}
png_of_size() { file "$1" | grep -q "PNG image data, $2 x $2,"; }

# The menu entry and the software centre's metadata, where the desktop reads them.
check test "$(command -v bezier7)" = /usr/bin/bezier7
check desktop-file-validate /usr/share/applications/bezier7.desktop
check grep -qx 'Exec=bezier7' /usr/share/applications/bezier7.desktop
check grep -qx 'Icon=bezier7' /usr/share/applications/bezier7.desktop
check appstreamcli validate --no-net /usr/share/metainfo/org.example.bezier7.metainfo.xml
check grep -q '<launchable type="desktop-id">bezier7.desktop</launchable>' \
    /usr/share/metainfo/org.example.bezier7.metainfo.xml
# The icon in the hicolor theme, at every size and scalable.
for size in 16 24 32 48 64 128 256; do
    check png_of_size "/usr/share/icons/hicolor/${size}x${size}/apps/bezier7.png" "$size"
done
check grep -q '<svg' /usr/share/icons/hicolor/scalable/apps/bezier7.svg

# The installed program in a real window.
export BEZIER7_PROGRAM=/usr/bin/bezier7 BEZIER7_SCREENSHOTS="$PWD/build-package/screenshots"
export QT_QPA_PLATFORM=xcb
screen=(xvfb-run -a -s "-screen 0 1280x1024x24")
check "${screen[@]}" build/tests/tst_realwindow startsWithTheCurveAndItsTangents
check "${screen[@]}" build/tests/tst_realabout lastWindowClosedEndsTheProgram

if [ "$failures" -ne 0 ]; then
    echo "test-package: $failures checks failed"
    exit 1
fi
echo "test-package: the installed package passed"
