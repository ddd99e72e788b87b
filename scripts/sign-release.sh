#!/usr/bin/env bash
# Signs release files for the update site with the vendor's secret key, which never enters the
# repository. Publish each FILE together with the FILE.minisig written beside it.
# Usage: scripts/sign-release.sh SECRET_KEY FILE...
set -euo pipefail
if [ $# -lt 2 ]; then
    echo "Használat: $0 TITKOS_KULCS FÁJL..." >&2
    exit 2
fi
key="$1"
shift
command -v minisign >/dev/null || "$(dirname "$0")/deps.sh"
for file in "$@"; do
    # The trusted comment names the file: the program takes a signature only for the file it
    # asked for, so that an older installer cannot be served as a newer one.
    minisign -S -s "$key" -m "$file" -t "file:$(basename "$file") Tarvik kiadás"
    echo "$file.minisig"
done
