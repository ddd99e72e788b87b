#!/usr/bin/env bash
# Makes one report of 9,999 pending lines with `tarvik-cli --make` (whole process) and, side by
# side in the same run, has sqlite3 do the bare table work on the same rows: copy them into
# jel_tete, insert the new persons into taj, delete them from jel_temp, in one transaction.
# Prints each pair, the medians and the median of the pair-by-pair ratios; checks that the
# made file and tables are those of the reference run (bench/make_report.expected).
# Usage: bench/make_report.sh [runs] [lines]   (needs build/tarvik, sqlite3 and bc)
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/common.sh
runs="${1:-7}"
lines="${2:-9999}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export TARVIK_SETTINGS_DIR="$work/settings"

./build/tarvik-cli --init --demo --home "$work/home" --admin-password bench > /dev/null
db="$work/home/adatok/tarvik.sqlite"
# New persons with an employment each, in the demo company's next "09" report.
sqlite3 "$db" "$(pending_lines_sqlite "$lines")"
# Open once, so that the runs start from a database the program has already seen.
./build/tarvik-cli --home "$work/home" --load > /dev/null 2>&1 || true
cp "$db" "$work/pending.sqlite"
echo "pending lines: $(sqlite3 "$db" "select count(*) from jel_temp")"
baseline="begin;
insert into jel_tete select * from jel_temp;
insert into taj (TAJ, VEZ_NEV, UTO_NEV, P_KOD, O_KOD, UTO_NEV_2, SZ_VEZ_NEV, SZ_UTO_NEV_1,
  SZ_UTO_NEV_2, A_VEZ_NEV, A_UTO_NEV_1, A_UTO_NEV_2, SZUL_DAT, SZUL_HELY)
  select TAJ, VEZ_NEV, UTO_NEV, P_KOD, O_KOD, UTO_NEV_2, SZ_VEZ_NEV, SZ_UTO_NEV_1, SZ_UTO_NEV_2,
  A_VEZ_NEV, A_UTO_NEV_1, A_UTO_NEV_2, SZUL_DAT, SZUL_HELY from jel_temp;
delete from jel_temp;
commit;"

now() { date +%s.%N; }
median() { sort -g | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
: > "$work/a"; : > "$work/b"; : > "$work/r"
for i in $(seq "$runs"); do
    cp "$work/pending.sqlite" "$db"
    rm -rf "$work/out"; mkdir "$work/out"
    t0=$(now)
    ./build/tarvik-cli --home "$work/home" --make --folder "$work/out" > /dev/null
    t1=$(now)
    cp "$work/pending.sqlite" "$work/s.sqlite"
    t2=$(now)
    sqlite3 "$work/s.sqlite" "$baseline"
    t3=$(now)
    a=$(echo "$t1 - $t0" | bc); b=$(echo "$t3 - $t2" | bc)
    printf 'run %d: tarvik-cli --make %.3f s   sqlite3 %.3f s   ratio %.2f\n' "$i" "$a" "$b" \
        "$(echo "scale=4; $a / $b" | bc)"
    echo "$a" >> "$work/a"; echo "$b" >> "$work/b"; echo "scale=4; $a / $b" | bc >> "$work/r"
done
printf 'median: tarvik-cli --make %.3f s, sqlite3 %.3f s; median pair ratio %.2f (min %.2f, max %.2f)\n' \
    "$(median < "$work/a")" "$(median < "$work/b")" "$(median < "$work/r")" \
    "$(sort -g "$work/r" | head -1)" "$(sort -g "$work/r" | tail -1)"
file="$work/out/J0901A12345676242_020.002"
echo "file lines: $(tr -cd '\n' < "$file" | wc -c)   sha256 of the items: $(tail -n +2 "$file" | sha256sum | cut -c1-16)"
echo "tables: $(sqlite3 "$db" "select count(*) from jel_tete where jel_szam = 2") jel_tete,\
 $(sqlite3 "$db" "select count(*) from taj") taj, $(sqlite3 "$db" "select count(*) from taj_jogcim") taj_jogcim,\
 sha256 $(sqlite3 "$db" "select taj, vez_nev, uto_nev, sz_vez_nev, szul_dat from taj order by taj;
  select * from taj_jogcim order by taj, jogcim, kezdet; select * from jel_tete order by jel_szam, jel_tete;" | sha256sum | cut -c1-16)"
