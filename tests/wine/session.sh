#!/usr/bin/env bash
# Runs one test command of the Windows program under Wine, on the X display it is given: in a Wine
# prefix of the tests' own, made on first use with the faces a Windows install has, under a window
# manager (Wine gives a window no keyboard focus without one), and with no Wine process of the
# prefix left running afterwards.
# Usage: tests/wine/session.sh PREFIX COMMAND [ARGUMENT...]
set -euo pipefail
prefix=$1
shift
export WINEPREFIX=$prefix WINEDEBUG=-all
# No offers to install .NET or a browser engine. No debugger either: now and then one of Wine's own
# processes crashes while a prefix is made, and Wine 8's debugger then crashes too, starting
# another, until the display has no room for more clients.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
# Wine keeps the faces it first finds in the prefix's registry, so wineboot must not see the host's.
export FONTCONFIG_FILE
FONTCONFIG_FILE=$(cd "$(dirname "$0")" && pwd)/fonts.conf

# The marker names how the prefix was made; one made another way is made again.
ready=$prefix/.ready-without-host-faces
if [[ ! -f $ready ]]; then
    # Made aside and moved in whole, so that an interrupted start is never taken for a prefix.
    rm -rf "$prefix" "$prefix.new"
    WINEPREFIX=$prefix.new timeout 180 wineboot -u
    WINEPREFIX=$prefix.new timeout 180 wineserver -w
    fonts=$(dpkg -L fonts-wine | grep -E '/(tahoma|tahomabd|ms_sans_serif|sserife|marlett)\.(ttf|fon)$')
    # shellcheck disable=SC2086
    cp $fonts "$prefix.new/drive_c/windows/Fonts/"
    touch "$prefix.new/${ready##*/}"
    mv "$prefix.new" "$prefix"
fi

openbox >/dev/null 2>&1 &
manager=$!
timeout 10 sh -c 'until wmctrl -m >/dev/null 2>&1; do sleep 0.1; done'
status=0
"$@" || status=$?
wineserver -k 2>/dev/null || true
kill $manager
exit $status
