// Writes an older installation's tables (100,000 persons, 200,000 relations, 300,000 report
// lines, password-protected Paradox tables) and inserts the same rows the way a reference load
// does, for bench/migrate.sh to set `tarvik --migrate` against.
//   bench_migrate write OLDFOLDER      the Paradox tables
//   bench_migrate bulk HOME            the same rows straight into HOME's tables
#include "bulkinsert.h"
#include "datamodule.h"
#include "installation.h"
#include "transaction.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <cstring>
#include <functional>

extern "C" {
#include <paradox.h>
}

namespace
{
constexpr int Persons = 100000, Relations = 200000, Lines = 300000;

struct Column {
    const char *name;
    char type;
    int length;
};
const Column PersonColumns[] = {{"TAJ", pxfAlpha, 9},
                                {"VEZ_NEV", pxfAlpha, 40},
                                {"UTO_NEV", pxfAlpha, 15},
                                {"O_KOD", pxfAlpha, 4},
                                {"SZUL_DAT", pxfAlpha, 10}};
const Column RelationColumns[] = {{"TAJ", pxfAlpha, 9},     {"FOGLALK_ID", pxfLong, 4},
                                  {"JOGCIM", pxfAlpha, 4},  {"JEL_TIP", pxfAlpha, 2},
                                  {"KEZDET", pxfAlpha, 10}, {"FEOR", pxfAlpha, 4}};
const Column LineColumns[] = {
    {"JEL_SZAM", pxfShort, 2}, {"JEL_TETE", pxfLong, 4},   {"JAVITAS", pxfAlpha, 1},
    {"TAJ", pxfAlpha, 9},      {"FOGLALK_ID", pxfLong, 4}, {"NYILV_SZAM", pxfAlpha, 11},
    {"VEZ_NEV", pxfAlpha, 50}, {"UTO_NEV", pxfAlpha, 20},  {"JOGCIM", pxfAlpha, 4},
    {"JEL_TIP", pxfAlpha, 2},  {"KEZDET", pxfAlpha, 10}};

// The values of row i of each table, as text.
QStringList person(int i)
{
    return {QString::asprintf("5%08d", i), QStringLiteral("KOVÁCS%1").arg(i), "ANNA", "348",
            "1985.04.12"};
}
QStringList relation(int i)
{
    return {QString::asprintf("5%08d", i / 2),
            "1",
            i % 2 ? "1202" : "1101",
            "09",
            "2020.01.01",
            "4131"};
}
QStringList line(int i)
{
    return {QString::number(i / 10000 + 1),
            QString::number(i % 10000 + 1),
            "N",
            QString::asprintf("5%08d", i / 3),
            "1",
            "12345676242",
            QStringLiteral("KOVÁCS%1").arg(i / 3),
            "ANNA",
            "1101",
            "09",
            "2020.01.01"};
}

template <size_t N>
bool writeTable(const QString &path, const Column (&columns)[N], int rows,
                const std::function<QStringList(int)> &values)
{
    pxfield_t *f = static_cast<pxfield_t *>(malloc(N * sizeof(pxfield_t)));
    for (size_t i = 0; i < N; ++i)
        f[i] = {strdup(columns[i].name), columns[i].type, columns[i].length, 0};
    pxdoc_t *doc = PX_new();
    if (PX_create_file(doc, f, int(N), QFile::encodeName(path).constData(), pxfFileTypNonIndexDB) <
        0)
        return false;
    PX_set_value(doc, "codepage", 1250);
    PX_set_parameter(doc, "password", "tarvik");
    QByteArray record(PX_get_recordsize(doc), '\0');
    for (int r = 0; r < rows; ++r) {
        record.fill('\0');
        const QStringList v = values(r);
        int at = 0;
        for (size_t i = 0; i < N; ++i) {
            char *data = record.data() + at;
            if (columns[i].type == pxfAlpha) {
                QByteArray bytes = v[int(i)].toLatin1(); // the names are plain Latin-1
                PX_put_data_alpha(doc, data, columns[i].length, bytes.data());
            } else if (columns[i].type == pxfShort) {
                PX_put_data_short(doc, data, 2, short(v[int(i)].toInt()));
            } else {
                PX_put_data_long(doc, data, 4, v[int(i)].toInt());
            }
            at += columns[i].length;
        }
        PX_put_record(doc, record.data());
    }
    PX_close(doc);
    PX_delete(doc);
    return true;
}

template <size_t N>
bool bulk(DataModule &data, const char *table, const Column (&columns)[N], int rows,
          const std::function<QStringList(int)> &values)
{
    QStringList names, marks;
    for (const Column &c : columns) {
        names << QLatin1String(c.name);
        marks << QStringLiteral("?");
    }
    BulkInsert insert(
        data.db(),
        {QStringLiteral("insert into %1 (%2)").arg(QLatin1String(table), names.join(u", ")),
         QStringLiteral("values (%1)").arg(marks.join(u", "))});
    QList<QVariant> row;
    for (int r = 0; r < rows; ++r) {
        row.clear();
        for (const QString &v : values(r))
            row << v;
        if (!insert.insert(row)) return false;
    }
    return true;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_migrate write OLDFOLDER | bulk HOME\n");
        return 2;
    }
    const QString where = QString::fromLocal8Bit(argv[2]);
    if (std::strcmp(argv[1], "write") == 0) {
        PX_boot();
        QDir().mkpath(where);
        const QDir dir(where);
        return writeTable(dir.filePath("taj.db"), PersonColumns, Persons, person) &&
                       writeTable(dir.filePath("taj_jogcim.db"), RelationColumns, Relations,
                                  relation) &&
                       writeTable(dir.filePath("jel_tete.db"), LineColumns, Lines, line)
                   ? 0
                   : 1;
    }
    DataModule data;
    const Installation installation(where, true);
    if (!data.connect(installation.dataFolder())) return 1;
    Transaction transaction(data.db());
    const bool ok = bulk(data, "taj", PersonColumns, Persons, person) &&
                    bulk(data, "taj_jogcim", RelationColumns, Relations, relation) &&
                    bulk(data, "jel_tete", LineColumns, Lines, line) && transaction.commit();
    return ok ? 0 : 1;
}
