#!/usr/bin/env bash
# Installs what is missing, builds, and starts Lynkora.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD_DIR" -j "$(nproc)" --target lynkora sample_collection
if [[ $# -eq 0 ]]; then
    set -- "$BUILD_DIR/samples/sample.lyx"
fi
exec "$BUILD_DIR/bin/lynkora" "$@"
