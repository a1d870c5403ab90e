#!/usr/bin/env bash
# Kills a saving (and a compacting) process at many random moments and checks the data file
# after every kill. Usage: scripts/crash-test.sh [ROUNDS] (default 200 per kind).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
cmake --build "$BUILD_DIR" --target crash_tests crash_helper >/dev/null
LYNKORA_CRASH_ROUNDS=${1:-200} "$BUILD_DIR/tests/store/crash_tests"
