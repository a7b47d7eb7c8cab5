#!/usr/bin/env bash
# Starts the editor on the current display.
set -euo pipefail
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "bezier7: no display found; to run it under a virtual display: xvfb-run -a build/bezier7" >&2
    exit 1
fi
exec "$(dirname "$0")/../build/bezier7"
