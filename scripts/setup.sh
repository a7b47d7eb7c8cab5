#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing bezier7 need, only those that
# are missing. As root it installs them; otherwise through sudo where that works without a
# password prompt; failing both, it prints the one apt-get line to run.
# Usage: scripts/setup.sh [linux|windows|web]    (the set for the Linux build, the default; the
# Windows one: cross-compiler, Wine, installer and archive tools; or the browser's: the WebAssembly
# compiler, and three browsers driven from Python for the tests)
set -euo pipefail

case ${1:-linux} in
linux)
    PACKAGES=(
        g++ make cmake                       # compiler and build
        qt6-base-dev libgl-dev               # Qt 6 Widgets and Qt Test
        fonts-dejavu-core fonts-dejavu-extra fonts-liberation2  # the faces the windows use
        xvfb xauth                           # a virtual display for the real-window tests
        xdotool xclip openbox wmctrl x11-utils  # real X input, the selection, a window manager
        libxtst-dev                          # real X input in bulk, from the soak test itself
        valgrind                             # instruction counts for the benchmarks
        clang-tidy cppcheck                  # static analysis
        qt6-wayland weston                   # native Wayland, and a headless compositor to test it on
        debhelper lintian blhc               # the Debian package, its checks, its hardening flags
        desktop-file-utils appstream         # checks of the desktop entry and the AppStream metadata
        at-spi2-core dbus-daemon python3-pyatspi  # a screen reader's view: the registry, a session bus, its client
    )
    ;;
windows)
    PACKAGES=(
        make cmake ninja-build dpkg-dev      # build; dpkg-dev unpacks Qt's source package
        qt6-base-dev                         # the host's moc, rcc and uic for the cross build
        g++-mingw-w64-x86-64-posix mingw-w64-tools  # the 64-bit Windows compiler, resources
        nsis zip                             # the installer and the archive
        icoutils python3-pefile              # reading the executable's icon and version record
        wine wine64 fonts-wine               # the Windows program's tests, with Windows' faces
        xvfb xauth xdotool xclip openbox wmctrl x11-utils  # real windows for them, as on Linux
    )
    ;;
web)
    PACKAGES=(
        make cmake ninja-build               # build
        emscripten                           # the WebAssembly compiler, with its system libraries
        chromium chromium-driver python3-selenium  # the page's tests in a real, headless browser
        firefox-esr python3-websockets       # Firefox, driven over WebDriver BiDi by the test's own client
        webkit2gtk-driver                    # WebKit: its WebDriver, driving WebKitGTK's MiniBrowser
        xvfb xauth                           # a display for Firefox and WebKit
        brotli                               # the site's files also kept compressed, for hosts that send them as they are
    )
    # npm, for the accessibility checker the tests and Lighthouse the benchmark pin: Debian's, where
    # the machine has no npm of its own (a Node.js from elsewhere brings one).
    command -v npm >/dev/null || PACKAGES+=(npm)
    ;;
*)
    echo "usage: scripts/setup.sh [linux|windows|web]" >&2
    exit 2
    ;;
esac

missing=()
for package in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

install_line="apt-get install -y ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    as_root=()
elif command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
    as_root=(sudo -n)
else
    echo "bezier7 needs these packages; install them as root with:" >&2
    echo "  apt-get update && $install_line" >&2
    exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
# shellcheck disable=SC2086
"${as_root[@]}" $install_line
