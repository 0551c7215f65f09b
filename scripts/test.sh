#!/usr/bin/env bash
# Builds everything and runs the whole test suite (GUI tests run offscreen).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
cd "${LUNV_BUILD_DIR:-build}"
ctest --output-on-failure --timeout 300 -j "$(nproc)"
