#!/usr/bin/env bash
# Loads 90,000 postcode lines (every 4-digit postcode with the weights 0 to 9) with
# `tarvik-cli --load` and, side by side, with sqlite3's .import into a table of the same structure.
# Prints each pair, the medians and the median of the pair-by-pair ratios.
# Usage: bench/irsz_load.sh [runs]   (needs build/tarvik-cli and sqlite3)
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-7}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export TARVIK_SETTINGS_DIR="$work/settings"

for p in $(seq 1000 9999); do
    for s in 0 1 2 3 4 5 6 7 8 9; do
        printf '%s,%s,Település %s-%s\r\n' "$p" "$s" "$p" "$s"
    done
done | iconv -f UTF-8 -t WINDOWS-1250 > "$work/irsz.txt"
echo "lines: $(wc -l < "$work/irsz.txt")"

./build/tarvik-cli --init --home "$work/home" --admin-password bench > /dev/null
schema="create table irsz (IRSZ VARCHAR(4) CHECK(length(IRSZ) <= 4), SULY VARCHAR(1) CHECK(length(SULY) <= 1), TELEPULES VARCHAR(40) CHECK(length(TELEPULES) <= 40)); create index idx_irsz on irsz (IRSZ, SULY);"

now() { date +%s.%N; }
median() { sort -g | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
: > "$work/a"; : > "$work/b"; : > "$work/r"
for i in $(seq "$runs"); do
    t0=$(now)
    ./build/tarvik-cli --home "$work/home" --load "$work/irsz.txt" > /dev/null
    t1=$(now)
    rm -f "$work/s.sqlite"
    sqlite3 "$work/s.sqlite" "$schema"
    t2=$(now)
    sqlite3 "$work/s.sqlite" ".mode csv" ".import $work/irsz.txt irsz"
    t3=$(now)
    a=$(echo "$t1 - $t0" | bc); b=$(echo "$t3 - $t2" | bc)
    printf 'run %d: tarvik-cli --load %.3f s   sqlite3 .import %.3f s   ratio %.2f\n' "$i" "$a" "$b" \
        "$(echo "scale=4; $a / $b" | bc)"
    echo "$a" >> "$work/a"; echo "$b" >> "$work/b"; echo "scale=4; $a / $b" | bc >> "$work/r"
done
printf 'median: tarvik-cli --load %.3f s, sqlite3 .import %.3f s; median pair ratio %.2f (min %.2f, max %.2f)\n' \
    "$(median < "$work/a")" "$(median < "$work/b")" "$(median < "$work/r")" \
    "$(sort -g "$work/r" | head -1)" "$(sort -g "$work/r" | tail -1)"
rows=$(sqlite3 "$work/home/adatok/tarvik.sqlite" "select count(*) from irsz")
echo "rows in tarvik: $rows   sha256: $(sqlite3 "$work/home/adatok/tarvik.sqlite" "select * from irsz order by irsz, suly" | sha256sum | cut -c1-16)"
