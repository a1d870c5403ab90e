#!/usr/bin/env bash
# Exports a generated collection in both Netscape styles and imports each file into KDE's
# bookmark editor and into buku, counting what arrives. Not part of ./test.sh.
# Usage: scripts/exchange-peers.sh [SHORTCUTS] [CATEGORIES]   (default 100000 5000)
set -euo pipefail
cd "$(dirname "$0")/.."
SHORTCUTS=${1:-100000}
CATEGORIES=${2:-5000}
BUILD_DIR=${BUILD_DIR:-build}

missing=()
command -v keditbookmarks >/dev/null || missing+=(keditbookmarks)
command -v buku >/dev/null || missing+=(buku)
if ((${#missing[@]})); then
    SUDO=$([[ $(id -u) -eq 0 ]] && echo "" || echo sudo)
    $SUDO apt-get install -y "${missing[@]}"
fi
cmake --build "$BUILD_DIR" --target lynkora-cli collection_tool >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

"$BUILD_DIR/bench/collection_tool" generate "$work/big.lyx" "$SHORTCUTS" "$CATEGORIES" >/dev/null
"$BUILD_DIR/bin/lynkora-cli" export "$work/big.lyx" --netscape "$work/plain.html" >/dev/null
"$BUILD_DIR/bin/lynkora-cli" export "$work/big.lyx" --mozilla "$work/later.html" >/dev/null
distinct=$(grep -o 'HREF="[^"]*"' "$work/plain.html" | sort -u | wc -l)
echo "shortcuts exported: $(grep -c '<DT><A HREF' "$work/plain.html") (distinct URLs: $distinct)"

for style in plain later; do
    option=$([[ $style == plain ]] && echo --importns || echo --importmoz)
    xbel="$work/kde-$style.xml"
    timeout 600 dbus-run-session -- keditbookmarks "$option" "$work/$style.html" "$xbel" >/dev/null 2>&1 || true
    kde=$( [[ -f $xbel ]] && grep -c '<bookmark ' "$xbel" || echo 0)
    db="$work/buku-$style"
    mkdir -p "$db"
    # buku keeps its database under XDG_DATA_HOME; one folder per import.
    XDG_DATA_HOME="$db" timeout 1200 buku --nostdin --np --tacit -i "$work/$style.html" >/dev/null 2>&1 <<<"n" || true
    bukus=$(XDG_DATA_HOME="$db" python3 -c "import sqlite3,sys; print(sqlite3.connect(sys.argv[1]).execute('select count(*) from bookmarks').fetchone()[0])" "$db/buku/bookmarks.db" 2>/dev/null || echo 0)
    echo "$style style: KDE's editor $kde of $SHORTCUTS, buku $bukus of $distinct distinct"
done
