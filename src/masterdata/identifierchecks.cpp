#include "identifierchecks.h"

namespace
{

bool allDigits(QStringView text)
{
    if (text.isEmpty()) return false;
    for (QChar c : text)
        if (c < u'0' || c > u'9') return false;
    return true;
}

int digit(QChar c)
{
    return c.unicode() - u'0';
}

// Weights 9, 7, 3, 1 repeated over the digits; the complement of the sum's last digit.
int weightedCheck(QStringView digits)
{
    static const int weights[] = {9, 7, 3, 1};
    int sum = 0;
    for (int i = 0; i < digits.size(); ++i)
        sum += digit(digits[i]) * weights[i % 4];
    const int r = sum % 10;
    return r == 0 ? 0 : 10 - r;
}

} // namespace

bool TajEllenor(const QString &taj)
{
    if (!allDigits(taj)) return false;
    const int n = int(taj.size());
    int sum = 0;
    for (int i = 1; i < n; ++i)
        sum += digit(taj[i - 1]) * (i % 2 == 1 ? 3 : 7);
    return digit(taj[n - 1]) == sum % 10;
}

int AdoszamCdv(qint64 base7)
{
    if (base7 < 0 || base7 > 9999999) return -1;
    static const int weights[] = {9, 7, 3, 1, 9, 7, 3};
    int sum = 0;
    qint64 rest = base7;
    for (int i = 6; i >= 0; --i) {
        sum += int(rest % 10) * weights[i];
        rest /= 10;
    }
    const int r = sum % 10;
    return r == 0 ? 0 : 10 - r;
}

bool AdoszamEllenor(qint64 taxNumber)
{
    if (taxNumber < 0) return false;
    const qint64 base = taxNumber / 1000;
    const int check = int(base % 10);
    return AdoszamCdv(base / 10) == check;
}

bool NyilvszamEllenor(const QString &number)
{
    const QString padded = (QString(10, u'0') + number.trimmed()).right(10);
    if (!allDigits(padded)) return false;
    int sum = 0;
    for (int i = 1; i <= 9; ++i)
        sum += i * digit(padded[i - 1]);
    const int r = sum % 11;
    const QChar expected = r == 10 ? u'0' : QChar(u'0' + r);
    return padded[9] == expected;
}

bool FoszamlaEllenor(const QString &number)
{
    if (number.size() < 2) return false;
    const QString body = number.left(number.size() - 1).left(7);
    if (!allDigits(body)) return false;
    const qint64 n = body.toLongLong();
    const qint64 sum = (n / 100000) + 3 * ((n % 100000) / 10000) + 7 * ((n % 10000) / 1000) +
                       ((n % 1000) / 100) + 3 * ((n % 100) / 10) + 7 * (n % 10);
    const int r = int(sum % 10);
    const int expected = r == 0 ? 0 : 10 - r;
    return QString::number(expected) == number.right(1);
}

bool BankszamlaEllenor(const QString &digits)
{
    if ((digits.size() != 16 && digits.size() != 24) || !allDigits(digits)) return false;
    const QStringView all(digits);
    if (weightedCheck(all.mid(0, 7)) != digit(all[7])) return false;
    const QStringView second = all.mid(8, all.size() - 9);
    return weightedCheck(second) == digit(all.back());
}

QString BankszamOsszevon(const QString &masked)
{
    return masked.mid(0, 8) + masked.mid(9, 8) + masked.mid(18, 8);
}

bool EmailEllenor(const QString &email)
{
    if (email.isEmpty()) return true;
    return email.contains(u'@') && email.contains(u'.');
}
