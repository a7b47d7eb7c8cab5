#!/usr/bin/env bash
# The Windows program as the real-window tests start it (BEZIER7_PROGRAM): BEZIER7_WINE_EXE under
# Wine, in the prefix tests/wine/session.sh set up, with none of the host's faces. Wine takes this
# process over, so its id and exit status are the program's.
set -euo pipefail
export FONTCONFIG_FILE
FONTCONFIG_FILE=$(cd "$(dirname "$0")" && pwd)/fonts.conf
exec wine "${BEZIER7_WINE_EXE:?the Windows program to run}" "$@"
