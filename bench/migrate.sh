#!/usr/bin/env bash
# Takes over an older installation of 100,000 persons, 200,000 relations and 300,000 report
# lines (password-protected Paradox tables) with `tarvik-cli --migrate`, and, side by side in the same
# run, inserts the same rows the way a reference load does (bench_migrate bulk). Prints each
# pair with the peak memory of the migration, the medians and the median pair ratio.
# Usage: bench/migrate.sh [runs]   (needs build/tarvik-cli, build-bench/bench_migrate, bc)
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-3}"
bench="${BENCH_BIN:-build-bench/bench_migrate}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export TARVIK_SETTINGS_DIR="$work/settings"
"$bench" write "$work/old"
./build/tarvik-cli --init --home "$work/home" --admin-password bench > /dev/null
cp "$work/home/adatok/tarvik.sqlite" "$work/fresh.sqlite"
median() { sort -g | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
: > "$work/a"; : > "$work/b"; : > "$work/r"
for i in $(seq "$runs"); do
    cp "$work/fresh.sqlite" "$work/home/adatok/tarvik.sqlite"
    a=$( { /usr/bin/time -f '%e %M' ./build/tarvik-cli --home "$work/home" --migrate "$work/old" > "$work/log"; } 2>&1 | tail -1)
    cp "$work/fresh.sqlite" "$work/home/adatok/tarvik.sqlite"
    b=$( { /usr/bin/time -f '%e' "$bench" bulk "$work/home"; } 2>&1 | tail -1)
    ta=${a% *}; mem=${a#* }
    printf 'run %d: --migrate %.2f s (peak %d MB)   bulk insertion %.2f s   ratio %.2f\n' "$i" "$ta" \
        $((mem / 1024)) "$b" "$(echo "scale=4; $ta / $b" | bc)"
    echo "$ta" >> "$work/a"; echo "$b" >> "$work/b"; echo "scale=4; $ta / $b" | bc >> "$work/r"
done
grep -E 'taj|jel_tete' "$work/log" | head -4
printf 'median: --migrate %.2f s, bulk insertion %.2f s; median pair ratio %.2f\n' \
    "$(median < "$work/a")" "$(median < "$work/b")" "$(median < "$work/r")"
