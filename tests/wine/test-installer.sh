#!/usr/bin/env bash
# The Windows installer under Wine: a silent install puts the program, its Start-menu shortcut and
# its entry in the list of installed programs in place; the installed program starts and draws its
# first curve; a silent uninstall takes all of it away again. Runs inside tests/wine/session.sh.
# Usage: tests/wine/test-installer.sh SETUP.EXE TST_REALWINDOW
set -euo pipefail
trap 'echo "test-installer: failed at line $LINENO: $BASH_COMMAND" >&2' ERR
setup=$1
realwindow=$2
folder="$WINEPREFIX/drive_c/Program Files/bezier7"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/bezier7.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\bezier7'
fail() {
    echo "test-installer: $*" >&2
    exit 1
}

wine "$setup" /S
[[ -f $folder/bezier7.exe ]] || fail "no bezier7.exe in Program Files after the install"
[[ -f $shortcut ]] || fail "no Start-menu shortcut after the install"
entry=$(wine reg query "$key") || fail "no entry in the list of installed programs"
for value in 'DisplayName +REG_SZ +bezier7' 'DisplayVersion +REG_SZ +1\.00' \
    'Publisher +REG_SZ +bezier7 team' 'UninstallString +REG_SZ +"C:\\Program Files\\bezier7\\uninstall.exe"'; do
    grep -Eq "^ +$value"$'\r?$' <<<"$entry" || fail "the entry lacks '$value': $entry"
done
BEZIER7_WINE_EXE=$folder/bezier7.exe "$realwindow" startsWithTheCurveAndItsTangents

wine "$folder/uninstall.exe" /S
wineserver -w # the uninstaller goes on from a copy of itself
[[ ! -e $folder ]] || fail "Program Files\\bezier7 is left after the uninstall"
[[ ! -e $shortcut ]] || fail "the shortcut is left after the uninstall"
if wine reg query "$key" >/dev/null 2>&1; then
    fail "the entry is left in the list of installed programs"
fi
echo "test-installer: installed, started, drawn, uninstalled"
