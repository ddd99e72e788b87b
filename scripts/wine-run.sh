#!/usr/bin/env bash
# Runs a test program of the Windows build under Wine for ctest (the build's test emulator).
# Wine's own background processes inherit the standard output of the first program that starts
# them and outlive it, so ctest would wait for them: a Qt test writes its results to a file (-o;
# a program of several test classes one file each, see tests/support/testclasses.h), shown with
# Wine's own words when the program ends.
set -uo pipefail
out=$(mktemp /tmp/tarvik-wine-run.XXXXXX)
trap 'rm -f "$out" "$out".*' EXIT
program=$1
shift
# Wine keeps the environment's QT_ variables (QT_QPA_PLATFORM, QT_SCALE_FACTOR) from its programs:
# cmd sets them for the one program it starts.
sets=
while IFS= read -r assignment; do
  sets+="set $assignment&&"
done < <(env | grep '^QT_')
wine cmd /c "$sets$(winepath -w "$program" 2>/dev/null) $* -o $(winepath -w "$out" 2>/dev/null),txt" \
  >"$out.wine" 2>&1 </dev/null
code=$?
cat "$out" "$out".[0-9]* "$out.wine" 2>/dev/null | grep -v -e 'wine32 is missing' -e 'multiarch needs' \
  -e 'dpkg --add-architecture' -e 'apt-get install wine32' -e 'FS volume label and serial'
exit $code
