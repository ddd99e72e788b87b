#!/usr/bin/env bash
# Runs a test program of the Windows build under Wine for ctest (the build's test emulator).
# Wine's own background processes inherit the standard output of the first program that starts
# them and outlive it, so ctest would wait for them: the program's output goes through a file,
# shown when the program ends. A Qt test writes its results to that file too (-o).
set -uo pipefail
out=$(mktemp /tmp/tarvik-wine-run.XXXXXX)
trap 'rm -f "$out" "$out.txt"' EXIT
program=$1
shift
# Wine keeps the environment's QT_ variables (QT_QPA_PLATFORM, QT_SCALE_FACTOR) from its programs:
# cmd sets them for the one program it starts.
sets=
while IFS= read -r assignment; do
  sets+="set $assignment&&"
done < <(env | grep '^QT_')
wine cmd /c "$sets$(winepath -w "$program" 2>/dev/null) $* -o $(winepath -w "$out.txt" 2>/dev/null),txt" \
  >"$out" 2>&1 </dev/null
code=$?
cat "$out.txt" "$out" 2>/dev/null | grep -v -e 'wine32 is missing' -e 'multiarch needs' \
  -e 'dpkg --add-architecture' -e 'apt-get install wine32'
exit $code
