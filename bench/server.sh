#!/usr/bin/env bash
# The register on a local PostgreSQL server against the same on SQLite, side by side in one run:
# `tarvik-cli --make` of 9,999 pending lines and `tarvik-cli --receive` of an external report of 9,999
# items (whole processes), each run from the same starting data. Prints each pair, the medians
# and the median of the pair-by-pair ratios, and checks that both stores give the same file and
# the same tables. Then the throughput of the clerks' test: reports per second with 1, 2, 4 and
# 8 clerks at once.
# Usage: bench/server.sh [runs] [clerk seconds]   (needs build/, sqlite3, psql, python3, bc)
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/common.sh
runs="${1:-5}"
seconds="${2:-10}"
work="$(mktemp -d /tmp/tarvik-bench.XXXXXX)"
chmod 755 "$work"
trap './scripts/office-server.sh stop "$work/pg" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
# An interrupted run stops the server too.
trap 'exit 130' INT TERM
export TARVIK_SETTINGS_DIR="$work/settings"
admin=$(./scripts/office-server.sh start "$work/pg" postgres)
base="${admin%%\?*}"; base="${base%/*}"; query="?${admin#*\?}"
uri() { echo "$base/$1$query"; }
sql() { psql -qAtX -v ON_ERROR_STOP=1 "$(uri "$1")" -c "$2"; }

# The pending lines, the same on both stores.
pending_sqlite=$(pending_lines_sqlite 9999)
pending_server="insert into jel_temp (JEL_SZAM, JEL_TETE, JAVITAS, TAJ, FOGLALK_ID, NYILV_SZAM,
  VEZ_NEV, UTO_NEV, SZ_VEZ_NEV, SZ_UTO_NEV_1, A_VEZ_NEV, A_UTO_NEV_1, SZUL_DAT, SZUL_HELY, O_KOD,
  JOGCIM, JEL_TIP, KEZDET, HORA, FEOR, PAKEZD)
select 2, i, 'N', '5' || lpad(i::text, 8, '0'), 1, '12345676242', 'KOVÁCS' || i, 'ANNA',
  'KOVÁCS' || i, 'ANNA', 'SZABÓ', 'MÁRIA', '1985.04.12', 'BUDAPEST', '348', '1101', '09',
  '2026.11.02', '40', '4131', 'N' from generate_series(1, 9999) i;"

# The two installations: a local one, and one on the server whose runs start from a template.
./build/tarvik-cli --init --demo --home "$work/local" --admin-password bench >/dev/null
db="$work/local/adatok/tarvik.sqlite"
sql postgres "create database bench_base" 
./build/tarvik-cli --init --demo --home "$work/server" --admin-password bench \
    --server "$(uri bench_base)" >/dev/null
for d in local server; do ./build/tarvik-cli --home "$work/$d" --load >/dev/null 2>&1 || true; done
cp "$db" "$work/fresh.sqlite"
sqlite3 "$db" "$pending_sqlite"; cp "$db" "$work/pending.sqlite"
sql bench_base "vacuum analyze"
sql postgres "create database bench_fresh template bench_base"
sql bench_base "$pending_server; analyze"
fresh_run() { # $1: template database; the server installation then points at bench_run
    sql postgres "drop database if exists bench_run"
    sql postgres "create database bench_run template $1"
    echo "$(uri bench_run)" > "$work/server/adatok/tarvik.server"
}

external_report "$work/J0901K24680242242001_020.txt"

tables="select taj, vez_nev, uto_nev, sz_vez_nev, szul_dat from taj order by taj;
  select * from taj_jogcim order by taj, jogcim, kezdet;
  select * from jel_tete order by foglalk_id, jel_szam, jel_tete;"
now() { date +%s.%N; }
median() { sort -g | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
measure() { # $1: what, $2: local template file, $3: server template database, $4..: arguments
    local what=$1 file=$2 template=$3; shift 3
    : > "$work/a"; : > "$work/b"; : > "$work/r"
    for i in $(seq "$runs"); do
        cp "$file" "$db"; rm -rf "$work/out-l" "$work/out-s"; mkdir "$work/out-l" "$work/out-s"
        t0=$(now)
        ./build/tarvik-cli --home "$work/local" "$@" --folder "$work/out-l" >/dev/null
        t1=$(now)
        fresh_run "$template"
        t2=$(now)
        ./build/tarvik-cli --home "$work/server" "$@" --folder "$work/out-s" >/dev/null
        t3=$(now)
        a=$(echo "$t1 - $t0" | bc); b=$(echo "$t3 - $t2" | bc)
        printf '%s run %d: SQLite %.3f s   server %.3f s   ratio %.2f\n' "$what" "$i" "$a" "$b" \
            "$(echo "scale=4; $b / $a" | bc)"
        echo "$a" >> "$work/a"; echo "$b" >> "$work/b"; echo "scale=4; $b / $a" | bc >> "$work/r"
    done
    printf '%s median: SQLite %.3f s, server %.3f s; median pair ratio %.2f (min %.2f, max %.2f)\n' \
        "$what" "$(median < "$work/a")" "$(median < "$work/b")" "$(median < "$work/r")" \
        "$(sort -g "$work/r" | head -1)" "$(sort -g "$work/r" | tail -1)"
    local lf sf
    lf=$(cd "$work/out-l" && ls | head -1); sf=$(cd "$work/out-s" && ls | head -1)
    if cmp -s "$work/out-l/$lf" "$work/out-s/$sf" && [ "$lf" = "$sf" ]; then
        echo "$what file: $lf the same on both stores, sha256 $(sha256sum < "$work/out-l/$lf" | cut -c1-16)"
    else
        echo "$what file differs between the stores: $lf $sf"; exit 1
    fi
    local lt st
    lt=$(sqlite3 "$db" "$tables" | sha256sum | cut -c1-16)
    st=$(psql -qAtX "$(uri bench_run)" -c "$tables" | sha256sum | cut -c1-16)
    [ "$lt" = "$st" ] || { echo "$what tables differ: $lt $st"; exit 1; }
    echo "$what tables: the same on both stores, sha256 $lt"
}
measure make "$work/pending.sqlite" bench_base --make
measure receive "$work/fresh.sqlite" bench_fresh --receive "$work/J0901K24680242242001_020.txt"

# Throughput of the clerks' test.
for clerks in 1 2 4 8; do
    line=$(TARVIK_TEST_STORE=server TARVIK_TEST_SERVER="$admin" TARVIK_CLERKS=$clerks \
        TARVIK_CLERK_SECONDS=$seconds QT_QPA_PLATFORM=offscreen ./build/test_concurrency 2>&1 |
        grep -o '[0-9]* clerks in [0-9]* s: [0-9]* reports made or received, [0-9]* lines' || true)
    [ -n "$line" ] || { echo "the clerks' test failed with $clerks clerks"; exit 1; }
    reports=$(echo "$line" | awk '{print $6}')
    printf '%d clerks: %s; %.1f reports per second\n' "$clerks" "$line" \
        "$(echo "scale=2; $reports / $seconds" | bc)"
done
