#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

// The order of the Hungarian alphabet, as ICU's Hungarian collation gives it: A and Á together,
// O/Ó before Ö/Ő, the double letters (CS, DZ, DZS, GY, LY, NY, SZ, TY, ZS) letters of their own;
// case and accents decide only between otherwise equal names. Every list of names and every
// report file in name order uses it.
namespace HungarianOrder
{

// <0, 0 or >0 as a sorts before, with or after b.
int compare(const QString &a, const QString &b);
inline bool less(const QString &a, const QString &b)
{
    return compare(a, b) < 0;
}

// A key whose byte order is this order (ICU sort key, its closing zero byte included), so that
// a store can keep it beside the text and order by it through an index.
QByteArray sortKey(const QString &text);
// The key of a person's name: family name, then the given names.
QByteArray nameKey(const QString &family, const QString &given, const QString &given2);
// The key of a typed search text: letters only, without case or accents, so that it comes
// before every name that starts with those letters however they are written.
QByteArray searchKey(const QString &text);

// Sorts the items by the texts the function gives, keeping the order of equal ones.
template <typename T> void sort(QList<T> &items, const std::function<QString(const T &)> &text)
{
    QList<QPair<QByteArray, int>> keys;
    keys.reserve(items.size());
    for (int i = 0; i < items.size(); ++i)
        keys << qMakePair(sortKey(text(items[i])), i);
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<T> sorted;
    sorted.reserve(items.size());
    for (const auto &k : keys)
        sorted << items[k.second];
    items = sorted;
}

} // namespace HungarianOrder
