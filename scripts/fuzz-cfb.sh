#!/usr/bin/env bash
# Fuzzes the compound file reader for a given number of seconds (default 60).
# Usage: scripts/fuzz-cfb.sh [SECONDS] [extra libFuzzer flags...]
# The corpus lives in build-fuzz/corpus, seeded from ../shared/fixtures/cfb when present;
# crashes land in build-fuzz/findings.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
./scripts/install-deps.sh
build=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLYNKORA_FUZZ=ON -DLYNKORA_BUILD_TESTS=OFF -DLYNKORA_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target cfb_fuzz
mkdir -p "$build/corpus" "$build/findings"
if [[ -d ../shared/fixtures/cfb ]]; then
    find ../shared/fixtures/cfb -type f ! -name '.*' -exec cp -n {} "$build/corpus/" \;
fi
exec "$build/fuzz/cfb_fuzz" "$build/corpus" -max_total_time="$seconds" -timeout=10 \
    -max_len=262144 -artifact_prefix="$build/findings/" -print_final_stats=1 "$@"
