-- One pending line of the demo employer's next "09" report: what the scripts make a report of.
insert into jel_temp (JEL_SZAM, JEL_TETE, JAVITAS, TAJ, FOGLALK_ID, NYILV_SZAM, VEZ_NEV, UTO_NEV,
  SZ_VEZ_NEV, SZUL_DAT, SZUL_HELY, O_KOD, JOGCIM, JEL_TIP, KEZDET, PAKEZD) values (2, 1, 'N',
  '044332217', 1, '12345676242', 'VARGA', 'ÉVA', 'VARGA', '1980.01.01', 'PÉCS', '348', '1101', '09',
  '2026.11.02', 'N');
