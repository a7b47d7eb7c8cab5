#!/usr/bin/env bash
# The Windows program as the real-window tests start it (BEZIER7_PROGRAM): BEZIER7_WINE_EXE under
# Wine, in the prefix and with the faces tests/wine/session.sh set up. Wine takes this process
# over, so its id and exit status are the program's.
set -euo pipefail
exec wine "${BEZIER7_WINE_EXE:?the Windows program to run}" "$@"
