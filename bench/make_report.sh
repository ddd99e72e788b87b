#!/usr/bin/env bash
# Makes one report of 9,999 pending lines with `tarvik --make` (whole process) and, side by
# side, has sqlite3 copy the same rows into jel_tete and delete them from jel_temp.
# Usage: bench/make_report.sh [runs]   (needs build/tarvik, sqlite3 and bc)
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-5}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export TARVIK_SETTINGS_DIR="$work/settings"

./build/tarvik --init --demo --home "$work/home" --admin-password bench > /dev/null
db="$work/home/adatok/tarvik.sqlite"
# 9,999 new persons with an employment each, in the demo company's next "09" report.
sqlite3 "$db" "with recursive n(i) as (select 1 union all select i + 1 from n where i < 9999)
insert into jel_temp (JEL_SZAM, JEL_TETE, JAVITAS, TAJ, FOGLALK_ID, NYILV_SZAM, VEZ_NEV, UTO_NEV,
  SZ_VEZ_NEV, SZ_UTO_NEV_1, A_VEZ_NEV, A_UTO_NEV_1, SZUL_DAT, SZUL_HELY, O_KOD, JOGCIM, JEL_TIP,
  KEZDET, HORA, FEOR, PAKEZD)
select 2, i, 'N', printf('5%08d', i), 1, '12345676242', 'KOVÁCS' || i, 'ANNA', 'KOVÁCS' || i,
  'ANNA', 'SZABÓ', 'MÁRIA', '1985.04.12', 'BUDAPEST', '348', '1101', '09', '2026.11.02', '40',
  '4131', 'N' from n;"
cp "$db" "$work/pending.sqlite"
echo "pending lines: $(sqlite3 "$db" "select count(*) from jel_temp")"

now() { date +%s.%N; }
best_tarvik=999; best_sqlite=999
for i in $(seq "$runs"); do
    cp "$work/pending.sqlite" "$db"
    rm -rf "$work/out"; mkdir "$work/out"
    t0=$(now)
    ./build/tarvik --home "$work/home" --make --folder "$work/out" > /dev/null
    t1=$(now)
    cp "$work/pending.sqlite" "$work/s.sqlite"
    t2=$(now)
    sqlite3 "$work/s.sqlite" "begin; insert into jel_tete select * from jel_temp;
        delete from jel_temp; commit;"
    t3=$(now)
    a=$(echo "$t1 - $t0" | bc); b=$(echo "$t3 - $t2" | bc)
    printf 'run %d: tarvik --make %.3f s   sqlite3 copy %.3f s\n' "$i" "$a" "$b"
    best_tarvik=$(echo "if ($a < $best_tarvik) $a else $best_tarvik" | bc)
    best_sqlite=$(echo "if ($b < $best_sqlite) $b else $best_sqlite" | bc)
done
printf 'best: tarvik %.3f s, sqlite3 %.3f s, ratio %.2f\n' "$best_tarvik" "$best_sqlite" \
    "$(echo "scale=3; $best_tarvik / $best_sqlite" | bc)"
echo "file lines: $(tr -cd '\n' < "$work/out/"J0901A12345676242_020.002 | wc -c)"
echo "jel_tete rows of the report: $(sqlite3 "$db" "select count(*) from jel_tete where jel_szam = 2")"
