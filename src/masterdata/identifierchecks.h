#pragma once

#include <QString>

// Check-digit rules of the identifiers an employer or a person is recorded under. Pure functions:
// no table, no message; the callers decide what to say.

// TAJ number: digits 1..n-1 weighted 3 (odd positions) and 7 (even), the sum modulo 10 is the
// last digit. The callers also refuse the value 0.
bool TajEllenor(const QString &taj);
// Check digit of a tax base number from its first seven digits; -1 when it cannot be formed.
int AdoszamCdv(qint64 base7);
// The 11-digit tax number as a number: the 8th digit checks the first seven.
bool AdoszamEllenor(qint64 taxNumber);
// OEP registration number: padded to 10 digits, sum of i*d(i) for i = 1..9 modulo 11
// ("0" for 10) is the 10th digit. The register also requires 3 or more characters and "1" as the
// second-to-last one.
bool NyilvszamEllenor(const QString &number);
// Pre-1998 base number; the last character is the check digit.
bool FoszamlaEllenor(const QString &number);
// Bank account of 16 or 24 digits, without separators.
bool BankszamlaEllenor(const QString &digits);
// Joins the three groups of the 26-character masked text (characters 1-8, 10-17, 19-26).
QString BankszamOsszevon(const QString &masked);
// Plausible when it has both "@" and "."; an empty text is not tested (plausible).
bool EmailEllenor(const QString &email);
