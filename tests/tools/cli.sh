#!/usr/bin/env bash
# tarvik-cli beside tarvik: no window library, the same words, exit codes and report files.
#   tests/tools/cli.sh BUILD_DIR
set -uo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TARVIK_SETTINGS_DIR=$work/settings QT_QPA_PLATFORM=offscreen
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }

# Read whole first: grep -q stops at its match, and ldd, cut off, would fail the pipe.
cli_libraries=$(ldd "$build/tarvik-cli")
window_libraries=$(ldd "$build/tarvik")
if grep -q libQt6Widgets <<<"$cli_libraries"; then fail "tarvik-cli loads libQt6Widgets"; fi
grep -q libQt6Widgets <<<"$window_libraries" || fail "ldd sees no libQt6Widgets in tarvik either"

for args in --version --help "--make --bogus" "--home"; do
  # shellcheck disable=SC2086
  "$build/tarvik" $args >"$work/gui.out" 2>&1
  gui=$?
  # shellcheck disable=SC2086
  "$build/tarvik-cli" $args >"$work/cli.out" 2>&1
  cli=$?
  [ $gui = $cli ] || fail "$args: tarvik exits $gui, tarvik-cli $cli"
  sed -i 's/tarvik-cli \[/tarvik [/' "$work/cli.out"
  cmp -s "$work/gui.out" "$work/cli.out" || fail "$args: tarvik and tarvik-cli print differently"
done

"$build/tarvik-cli" >"$work/none.out" 2>&1
[ $? = 2 ] || fail "tarvik-cli without options does not exit 2"
grep -q "^Nincs megadva feladat" "$work/none.out" || fail "tarvik-cli without options says nothing"

# One pending line of the demo employer, made by each program: the same file, byte for byte.
for p in tarvik tarvik-cli; do
  mkdir -p "$work/$p/ki"
  "$build/$p" --init --demo --admin-password titok --home "$work/$p/home" >/dev/null ||
    fail "$p --init --demo failed"
  sqlite3 "$work/$p/home/adatok/tarvik.sqlite" <"$(dirname "$0")/pending-line.sql"
  "$build/$p" --make --home "$work/$p/home" --folder "$work/$p/ki" >"$work/$p.out" ||
    fail "$p --make failed"
  sed -i "s|$work/$p/||g" "$work/$p.out"
done
[ -n "$(ls "$work/tarvik/ki")" ] || fail "tarvik --make made no file"
diff -r "$work/tarvik/ki" "$work/tarvik-cli/ki" >&2 || fail "the two programs made different files"
cmp -s "$work/tarvik.out" "$work/tarvik-cli.out" || fail "--make prints differently"
[ $failed = 0 ] && echo "tarvik-cli: the same words and files as tarvik, without Qt Widgets"
exit $failed
