#!/usr/bin/env bash
# Takes in one external report of 9,999 items of a new employer with `tarvik-cli --receive` (whole
# process) and, side by side in the same run, makes a report of 9,999 pending lines with
# `tarvik-cli --make`. Each run starts from the same database copy.
# Prints each pair, the medians and the median of the pair-by-pair ratios.
# Usage: bench/receive_report.sh [runs]   (needs build/tarvik, sqlite3, python3 and bc)
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/common.sh
runs="${1:-7}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export TARVIK_SETTINGS_DIR="$work/settings"

./build/tarvik-cli --init --demo --home "$work/home" --admin-password bench > /dev/null
db="$work/home/adatok/tarvik.sqlite"
cp "$db" "$work/fresh.sqlite"

external_report "$work/J0901K24680242242001_020.txt"

# The same number of pending lines of the demo company, for --make.
sqlite3 "$work/fresh.sqlite" "with recursive n(i) as (select 1 union all select i + 1 from n where i < 9999)
insert into jel_temp (JEL_SZAM, JEL_TETE, JAVITAS, TAJ, FOGLALK_ID, NYILV_SZAM, VEZ_NEV, UTO_NEV,
  SZ_VEZ_NEV, SZ_UTO_NEV_1, A_VEZ_NEV, A_UTO_NEV_1, SZUL_DAT, SZUL_HELY, O_KOD, JOGCIM, JEL_TIP,
  KEZDET, PAKEZD)
select 2, i, 'N', printf('5%08d', i), 1, '12345676242', 'KOVÁCS' || i, 'ANNA', 'KOVÁCS' || i,
  'ANNA', 'SZABÓ', 'MÁRIA', '1985.04.12', 'BUDAPEST', '348', '1101', '09', '2026.11.02', 'N'
  from n;"
cp "$db" "$work/receive.sqlite"
sqlite3 "$work/receive.sqlite" "delete from jel_temp"

now() { date +%s.%N; }
median() { sort -g | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
: > "$work/a"; : > "$work/b"; : > "$work/r"
for i in $(seq "$runs"); do
    cp "$work/receive.sqlite" "$db"; rm -rf "$work/out"; mkdir "$work/out"
    t0=$(now)
    ./build/tarvik-cli --home "$work/home" --receive "$work/J0901K24680242242001_020.txt" \
        --folder "$work/out" > "$work/receive.log" || { cat "$work/receive.log"; exit 1; }
    t1=$(now)
    sha=$(tail -n +2 "$work/out/J0901A24680242242_020.001" | sha256sum | cut -c1-16)
    cp "$work/fresh.sqlite" "$db"; rm -rf "$work/out"; mkdir "$work/out"
    t2=$(now)
    ./build/tarvik-cli --home "$work/home" --make --folder "$work/out" > /dev/null
    t3=$(now)
    a=$(echo "$t1 - $t0" | bc); b=$(echo "$t3 - $t2" | bc)
    printf 'run %d: tarvik-cli --receive %.3f s   tarvik-cli --make %.3f s   ratio %.2f\n' "$i" "$a" "$b" \
        "$(echo "scale=4; $a / $b" | bc)"
    echo "$a" >> "$work/a"; echo "$b" >> "$work/b"; echo "scale=4; $a / $b" | bc >> "$work/r"
done
printf 'median: --receive %.3f s, --make %.3f s; median pair ratio %.2f (min %.2f, max %.2f)\n' \
    "$(median < "$work/a")" "$(median < "$work/b")" "$(median < "$work/r")" \
    "$(sort -g "$work/r" | head -1)" "$(sort -g "$work/r" | tail -1)"
echo "received file items sha256: $sha"
