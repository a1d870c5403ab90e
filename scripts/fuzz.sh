#!/usr/bin/env bash
# Fuzzes one reader for a number of seconds (default 60).
# Usage: scripts/fuzz.sh TARGET [SECONDS] [extra libFuzzer flags...]
# TARGET: cfb, object_stream, netscape, opera, url_profile, html_links, classic.
# Each corpus lives in build-fuzz/corpus/TARGET, seeded from ../shared/fixtures when present
# (and, for the object stream, from the category streams of the sample collection); crashes
# land in build-fuzz/findings/TARGET.
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?usage: scripts/fuzz.sh TARGET [SECONDS] [libFuzzer flags...]}
seconds=${2:-60}
shift $(( $# >= 2 ? 2 : 1 ))
fixtures=../shared/fixtures
case "$target" in
    cfb) seeds=("$fixtures/cfb") ;;
    netscape) seeds=("$fixtures/bookmarks/netscape" "$fixtures/bookmarks/html") ;;
    opera) seeds=("$fixtures/bookmarks/opera") ;;
    url_profile) seeds=("$fixtures/bookmarks/url") ;;
    html_links) seeds=("$fixtures/bookmarks/html" "$fixtures/bookmarks/netscape") ;;
    classic) seeds=("$fixtures/bookmarks/netscape") ;;
    object_stream) seeds=() ;;
    *) echo "unknown target $target" >&2; exit 2 ;;
esac
./scripts/install-deps.sh
build=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLYNKORA_FUZZ=ON -DLYNKORA_BUILD_TESTS=OFF -DLYNKORA_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target "${target}_fuzz"
corpus=$build/corpus/$target
findings=$build/findings/$target
mkdir -p "$corpus" "$findings"
for dir in "${seeds[@]}"; do
    [[ -d $dir ]] && find "$dir" -type f ! -name '.*' ! -name 'MANIFEST.md' -exec cp -n {} "$corpus/" \;
done
if [[ $target == object_stream && -z $(ls -A "$corpus") ]]; then
    # The category streams of the sample collection, as the seeds of their own format.
    cmake --build "$build" --target sample_collection lynkora-cli >/dev/null
    sample=$build/samples/sample.lyx
    "$build/bin/lynkora-cli" inspect "$sample" | awk -F'\t' '$2 == "stream" && $1 ~ /DATA$/ {print $1}' |
        while read -r stream; do
            "$build/bin/lynkora-cli" inspect "$sample" "$stream" > "$corpus/$(echo "$stream" | tr / _)" || true
        done
fi
exec "$build/fuzz/${target}_fuzz" "$corpus" -max_total_time="$seconds" -timeout=10 \
    -max_len=262144 -artifact_prefix="$findings/" -print_final_stats=1 "$@"
