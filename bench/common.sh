# What the benchmarks share: their starting data. Sourced, not run.

# external_report FILE: an external report of 9,999 items of a new employer (tax 24680242242):
# a header and the items, Windows-1250, CR LF, each value at its column.
external_report() {
python3 - "$1" <<'PY'
import sys
def line(width, values):
    s = [' '] * width
    for col, v in values:
        s[col - 1:col - 1 + len(v)] = v
    return ''.join(s).rstrip()
tax = '24680242242'
out = [line(484, [(1, '09'), (3, '1'), (8, '9999'), (41, '2026.12.01'),
                  (51, 'BENCH KERESKEDELMI KFT'), (101, '1011'), (105, 'FŐ UTCA'), (155, '1'),
                  (260, '010'), (263, '2010.01.04'), (283, 'NN'), (335, tax)])]
for i in range(1, 10000):
    out.append(line(427, [(1, '09'), (3, '1'), (8, str(i)), (13, 'N'), (14, tax),
                          (25, '5%08d' % i), (34, '348'), (37, '1985.04.12'), (47, 'BUDAPEST'),
                          (77, 'KOVÁCS%d' % i), (127, 'ANNA'), (167, 'KOVÁCS%d' % i),
                          (217, 'ANNA'), (257, 'SZABÓ'), (307, 'MÁRIA'), (351, '1101'),
                          (355, '2026.11.02')]))
open(sys.argv[1], 'wb').write(('\r\n'.join(out) + '\r\n').encode('cp1250'))
PY
}

# pending_lines_sqlite N: the SQL that adds N pending lines of new persons with an employment
# each to the demo company's next "09" report.
pending_lines_sqlite() {
    echo "with recursive n(i) as (select 1 union all select i + 1 from n where i < $1)
insert into jel_temp (JEL_SZAM, JEL_TETE, JAVITAS, TAJ, FOGLALK_ID, NYILV_SZAM, VEZ_NEV, UTO_NEV,
  SZ_VEZ_NEV, SZ_UTO_NEV_1, A_VEZ_NEV, A_UTO_NEV_1, SZUL_DAT, SZUL_HELY, O_KOD, JOGCIM, JEL_TIP,
  KEZDET, HORA, FEOR, PAKEZD)
select 2, i, 'N', printf('5%08d', i), 1, '12345676242', 'KOVÁCS' || i, 'ANNA', 'KOVÁCS' || i,
  'ANNA', 'SZABÓ', 'MÁRIA', '1985.04.12', 'BUDAPEST', '348', '1101', '09', '2026.11.02', '40',
  '4131', 'N' from n;"
}
