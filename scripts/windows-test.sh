#!/usr/bin/env bash
# Runs every test of the Windows build (scripts/windows-build.sh) under Wine, the server tests
# against a throwaway PostgreSQL server on 127.0.0.1 started here, as scripts/test.sh does; then
# runs one day's work with the Windows program and with the Linux one (build/) and compares the
# report files byte for byte and the registers table by table. Non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build-windows
if [ ! -f "$build/libraries.path" ]; then
  echo "build-windows/ is missing: run scripts/windows-build.sh" >&2
  exit 1
fi
prefix=$(cat "$build/libraries.path")
./scripts/deps.sh
./scripts/build.sh --target tarvik tarvik_samples >/dev/null

work=$(mktemp -d /tmp/tarvik-windows.XXXXXX)
chmod 755 "$work" # the server runs as nobody when this runs as root
server=$work/server
# A Wine prefix of its own, made afresh, so that no earlier run's registry or files count.
export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  ./scripts/office-server.sh stop "$server" || true
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
wineboot --init >/dev/null 2>&1
winpath() { winepath -w "$1" 2>/dev/null; }
# Temporary files on drive Z: (the machine's own root), where the machine's tools reach them.
mkdir -p "$work/temp"
for v in TEMP TMP; do
  wine reg add 'HKCU\Environment' /v $v /d "$(winpath "$work/temp")" /f >/dev/null 2>&1
done
# Wine finds the libraries through WINEPATH, Qt its plugins through QT_PLUGIN_PATH.
export WINEPATH
WINEPATH=$(winpath "$prefix/bin")
QT_PLUGIN_PATH=$(winpath "$prefix/plugins")
# The offscreen platform draws with the DejaVu fonts the program carries.
QT_QPA_FONTDIR=$(winpath "$build/fonts")
export QT_PLUGIN_PATH QT_QPA_PLATFORM=offscreen QT_QPA_FONTDIR TARVIK_HOST_TOOLS=/usr/bin

TARVIK_TEST_SERVER=$(OFFICE_SERVER_PORT=${OFFICE_SERVER_PORT:-55432} \
  ./scripts/office-server.sh start "$server" postgres)
export TARVIK_TEST_SERVER
ctest --test-dir "$build" --output-on-failure -j2 "$@"

# --- the same day's work on both systems ---------------------------------------------------------
echo "== the Windows program beside the Linux one"
samples=$work/samples
mkdir -p "$samples"
build/tarvik_samples "$samples"
received=$(ls "$samples"/J09*.txt)
linux=$work/linux
windows="$work/Győző és Éva"
mkdir -p "$linux/ki" "$windows/ki"
refdata=$root/resources/refdata/irsz.txt
(
  export TARVIK_SETTINGS_DIR=$work/linux-settings
  p=build/tarvik
  $p --init --demo --admin-password titok --home "$linux/home" >"$work/linux.log"
  $p --receive --home "$linux/home" --folder "$linux/ki" "$received" >>"$work/linux.log"
  $p --load --home "$linux/home" "$refdata" >>"$work/linux.log"
  $p --backup --home "$linux/home" >>"$work/linux.log"
  $p --restore --yes --home "$linux/home" >>"$work/linux.log"
  $p --export --home "$linux/home" --folder "$linux/ki" >>"$work/linux.log"
  # The exported persons go into a new installation: the one they came from has them already.
  $p --init --admin-password titok --home "$linux/masik" >>"$work/linux.log"
  $p --import --home "$linux/masik" "$linux/ki/Taj_e.txt" "$linux/ki/Tajj_e.txt" >>"$work/linux.log"
)
# The Windows program keeps its settings where a clerk's are: in the registry.
(
  unset TARVIK_SETTINGS_DIR
  p="wine $build/tarvik-cli.exe"
  h=$(winpath "$windows/home")
  k=$(winpath "$windows/ki")
  $p --init --demo --admin-password titok --home "$h" >"$work/windows.log"
  $p --receive --home "$h" --folder "$k" "$(winpath "$received")" >>"$work/windows.log"
  $p --load --home "$h" "$(winpath "$refdata")" >>"$work/windows.log"
  $p --backup --home "$h" >>"$work/windows.log"
  $p --restore --yes --home "$h" >>"$work/windows.log"
  $p --export --home "$h" --folder "$k" >>"$work/windows.log"
  m=$(winpath "$windows/masik")
  $p --init --admin-password titok --home "$m" >>"$work/windows.log"
  $p --import --home "$m" "$k\\Taj_e.txt" "$k\\Tajj_e.txt" >>"$work/windows.log"
)
failed=0
for f in "$linux"/ki/*; do
  name=${f##*/}
  if ! cmp -s "$f" "$windows/ki/$name"; then
    echo "FAIL: $name differs between the Linux and the Windows program" >&2
    failed=1
  fi
done
[ "$(ls "$linux/ki" | wc -l)" -ge 3 ] || { echo "FAIL: the Linux program made too few files" >&2; failed=1; }
# A password is kept as a digest with a salt of its own: that differs at every new installation.
dump() {
  sqlite3 "$1/adatok/tarvik.sqlite" .dump | sed -E "s/'pbkdf2-sha256[$][^']*'/'(digest)'/"
}
for installation in home masik; do
  if ! diff <(dump "$linux/$installation") <(dump "$windows/$installation") >"$work/tables.diff"
  then
    echo "FAIL: the registers ($installation) differ:" >&2
    head -n 40 "$work/tables.diff" >&2
    failed=1
  fi
done
[ -f "$windows/home/adatok/Ment/ment.sqlite" ] ||
  { echo "FAIL: no backup in a folder named \"Győző és Éva\"" >&2; failed=1; }
[ $failed = 0 ] && echo "== the same files and tables on both systems"

# --- the setup file: a silent install into a fresh Wine prefix, the installed programs, a silent
# uninstall. Nothing of the build's libraries is on the path: the install carries what it needs.
echo "== the setup file"
setup=$(ls "$build"/tarvik-*-setup.exe 2>/dev/null | head -1)
if [ -z "$setup" ]; then
  echo "FAIL: no setup file in build-windows/" >&2
  exit 1
fi
wineserver -k 2>/dev/null || true
export WINEPREFIX=$work/wine-install
unset WINEPATH QT_PLUGIN_PATH
wineboot --init >/dev/null 2>&1
installed=$WINEPREFIX/drive_c/tarvik
wine "$setup" /S >/dev/null 2>&1
wineserver -w
for f in tarvik.exe tarvik-cli.exe tarvik-paradox.exe Qt6Core.dll platforms/qwindows.dll \
  sqldrivers/qsqlite.dll fonts/DejaVuSans.ttf; do
  [ -f "$installed/$f" ] || { echo "FAIL: the install has no $f" >&2; failed=1; }
done
shortcut() { find "$WINEPREFIX/drive_c" -iname 'Tarvik.lnk' -path '*Start Menu*' | head -1; }
[ -n "$(shortcut)" ] || { echo "FAIL: no Start menu entry" >&2; failed=1; }
cli() { wine 'C:\tarvik\tarvik-cli.exe' "$@" 2>/dev/null | tr -d '\r'; }
[ "$(cli --version)" = "$(build/tarvik --version)" ] ||
  { echo "FAIL: the installed tarvik-cli.exe --version: $(cli --version)" >&2; failed=1; }
# A new installation with the demo data: the same words as the Linux program's, but for the folder.
cli --init --demo --admin-password titok --home 'C:\otthon' >"$work/inst-init-windows.log"
TARVIK_SETTINGS_DIR=$work/init-settings build/tarvik --init --demo --admin-password titok \
  --home "$work/otthon" | sed 's|'"$work"'/otthon|C:\\otthon|' >"$work/inst-init-linux.log"
[ -f "$WINEPREFIX/drive_c/otthon/adatok/tarvik.sqlite" ] &&
  cmp -s "$work/inst-init-linux.log" "$work/inst-init-windows.log" ||
  { echo "FAIL: the installed tarvik-cli.exe --init --demo --home printed other words:" >&2
    diff "$work/inst-init-linux.log" "$work/inst-init-windows.log" >&2; failed=1; }
# The window program loads its window libraries and platform plugin (offscreen) and waits for
# the clerk (a new folder: whether to make an installation there): it is still running a while
# later. (Wine keeps QT_ variables from its programs: cmd sets it.)
wine cmd /c 'set QT_QPA_PLATFORM=offscreen&&C:\tarvik\tarvik.exe' >/dev/null 2>&1 &
gui=$!
sleep 20
kill -0 $gui 2>/dev/null || { echo "FAIL: the installed tarvik.exe did not start" >&2; failed=1; }
wineserver -k 2>/dev/null || true
# Its batch work makes the installation in its own folder and keeps the settings in the registry.
wine 'C:\tarvik\tarvik.exe' --init --demo --admin-password titok >/dev/null 2>&1
wineserver -w
[ -f "$installed/adatok/tarvik.sqlite" ] ||
  { echo "FAIL: the installed program keeps no data in its own folder" >&2; failed=1; }
values=$(wine reg query 'HKCU\Software\Korvant\Tarvik' 2>/dev/null | tr -d '\r' || true)
grep -qi '^ *InstallDir .*C:\\tarvik$' <<<"$values" ||
  { echo "FAIL: no InstallDir C:\tarvik under HKCU\Software\Korvant\Tarvik" >&2; failed=1; }
# One pending line made into its file by the installed console program and by the Linux one.
pending=$root/tests/tools/pending-line.sql
mkdir -p "$work/inst-linux/ki" "$installed/ki"
TARVIK_SETTINGS_DIR=$work/inst-settings build/tarvik --init --demo --admin-password titok \
  --home "$work/inst-linux/home" >"$work/inst-linux.log"
sqlite3 "$work/inst-linux/home/adatok/tarvik.sqlite" <"$pending"
TARVIK_SETTINGS_DIR=$work/inst-settings build/tarvik --make --home "$work/inst-linux/home" \
  --folder "$work/inst-linux/ki" >>"$work/inst-linux.log"
sqlite3 "$installed/adatok/tarvik.sqlite" <"$pending"
cli --make --folder 'C:\tarvik\ki' >"$work/inst-windows.log" ||
  { echo "FAIL: the installed tarvik-cli.exe --make" >&2; failed=1; }
made=$(ls "$work/inst-linux/ki")
cmp -s "$work/inst-linux/ki/$made" "$installed/ki/$made" ||
  { echo "FAIL: the installed program made another file than the Linux one ($made)" >&2; failed=1; }
# Each prints the file it made, in its own system's spelling of the folder.
[ "$(tail -n 1 "$work/inst-windows.log")" = 'C:\tarvik\ki\'"$made" ] ||
  { echo "FAIL: the installed tarvik-cli.exe --make printed $(cat "$work/inst-windows.log")" >&2
    failed=1; }
uninstaller=$(cd "$installed" && ls Uninstall*.exe 2>/dev/null | head -1)
wine "C:\\tarvik\\$uninstaller" /S >/dev/null 2>&1
wineserver -w
for f in tarvik.exe tarvik-cli.exe Qt6Core.dll platforms sqldrivers fonts doc "$uninstaller"; do
  [ ! -e "$installed/$f" ] || { echo "FAIL: the uninstall left $f" >&2; failed=1; }
done
[ -z "$(shortcut)" ] || { echo "FAIL: the uninstall left the Start menu entry" >&2; failed=1; }
[ -f "$installed/adatok/tarvik.sqlite" ] ||
  { echo "FAIL: the uninstall took the clerk's data" >&2; failed=1; }
[ $failed = 0 ] && echo "== installed, used and removed"
exit $failed
