#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need, when missing.
set -euo pipefail
pkgs=(cmake g++ ninja-build qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libgl-dev
      fonts-dejavu-core sqlite3 libsqlite3-dev poppler-utils pkg-config pxlib-dev libsodium-dev
      minisign libicu-dev dpkg-dev desktop-file-utils libqt6sql6-psql postgresql-15)
missing=()
for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
