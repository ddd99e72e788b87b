#!/usr/bin/env bash
# Builds the Debian package, installs it with apt-get, runs the installed program once (version,
# a new demo installation, one report made) and removes the package again. Needs root or sudo.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh --target package
deb="$(ls -t build/tarvik_*_amd64.deb | head -1)"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
# The package's own checkers.
for p in lintian appstream; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || {
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq lintian appstream > /dev/null
        break
    }
done
desktop-file-validate packaging/tarvik.desktop
appstreamcli validate --no-net --pedantic build/packaging/hu.korvant.tarvik.metainfo.xml
# Every error or warning fails, unless the package overrides it with its reason.
lintian --fail-on error,warning --tag-display-limit 0 "$deb"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "./$deb" > /dev/null
trap 'DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -qq tarvik > /dev/null' EXIT
work="$(mktemp -d)"
export TARVIK_SETTINGS_DIR="$work/settings"
installed="$(command -v tarvik)"
[ "$installed" = /usr/bin/tarvik ]
"$installed" --version | grep -qx "Tarvik $(sed -n 's/^project(tarvik VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
"$installed" --init --demo --home "$work/home" --admin-password csomag > /dev/null
# One pending line of the demo company's next "09" report, made into its file.
sqlite3 "$work/home/adatok/tarvik.sqlite" <tests/tools/pending-line.sql
mkdir "$work/out"
# The console program does the batch work of a cron job.
/usr/bin/tarvik-cli --home "$work/home" --make --folder "$work/out"
test -s "$work/out/J0901A12345676242_020.002"
test -f /usr/share/applications/tarvik.desktop
test -f /usr/share/icons/hicolor/48x48/apps/tarvik.png
test -f /usr/share/man/man1/tarvik.1.gz
test -e /usr/share/man/man1/tarvik-cli.1.gz
test -f /usr/share/doc/tarvik/copyright
test -f /usr/share/metainfo/hu.korvant.tarvik.metainfo.xml
echo "package check passed: $(basename "$deb")"
rm -rf "$work"
