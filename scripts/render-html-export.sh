#!/usr/bin/env bash
# Exports the sample collection with each predefined style and the table of contents, and has
# headless Chromium draw each page as a PNG in build/html-export/. Not part of ./test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
command -v chromium >/dev/null || { SUDO=$([[ $(id -u) -eq 0 ]] || echo sudo); $SUDO apt-get install -y chromium; }
cmake --build "$BUILD_DIR" --target lynkora-cli sample_collection artpack >/dev/null
out="$BUILD_DIR/html-export"
mkdir -p "$out"
profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
# Two shortcuts dated after the file's last session show the new-item look.
"$BUILD_DIR/bin/lynkora-cli" export-json "$BUILD_DIR/samples/sample.lyx" |
    python3 -c '
import json, sys
d = json.load(sys.stdin)
for s in d["Root"]["Categories"][0]["Shortcuts"][:2]:
    s["Added"] = 60000.0
json.dump(d, sys.stdout)' >"$profile/sample.json"
rm -f "$out/sample.lyx"
"$BUILD_DIR/bin/lynkora-cli" import-json "$out/sample.lyx" <"$profile/sample.json" >/dev/null
for style in Classic Ocean Slate Garden; do
    page="$out/sample-$style.html"
    "$BUILD_DIR/bin/lynkora-cli" export "$out/sample.lyx" --html "$page" --style "$style" --title "My Internet Shortcuts"
    chromium --headless --no-sandbox --disable-gpu --user-data-dir="$profile" --hide-scrollbars \
        --window-size=1000,1400 --screenshot="$out/sample-$style.png" "file://$(realpath "$page")" >/dev/null 2>&1
    echo "$out/sample-$style.png"
done
