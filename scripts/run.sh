#!/usr/bin/env bash
# Builds the program and starts it from its staged program folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
program="$(pwd)/${LUNV_BUILD_DIR:-build}/program/lunvareth"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset)." >&2
    echo "Lunvareth is a desktop program; on a machine without a screen run it under a virtual one:" >&2
    echo "    xvfb-run -a -s '-screen 0 1600x1000x24' $program" >&2
    exit 1
fi
exec "$program" "$@"
