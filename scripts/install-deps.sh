#!/usr/bin/env bash
# Installs the Debian packages Lynkora needs to build, run and test.
# Idempotent and quiet: asks dpkg first and only touches apt when something is missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-qpa-plugins libgl-dev fonts-dejavu-core
    libgtest-dev libgmock-dev libbenchmark-dev
    libcurl4-openssl-dev libssl-dev openssl libsqlite3-dev
    python3 python3-olefile
    7zip libgsf-bin gir1.2-gsf-1 python3-gi
    clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -ne 0 ]]; then
    SUDO=sudo
else
    SUDO=
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq >/dev/null
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
