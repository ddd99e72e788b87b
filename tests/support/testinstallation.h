#pragma once

#include "appcontext.h"

#include <QTemporaryDir>

#include <memory>

// A fresh installation in a temporary folder, with the settings redirected there too. With
// TARVIK_TEST_STORE=server the register lives in a fresh database of the PostgreSQL server that
// TARVIK_TEST_SERVER names (a libpq URI of a database to connect to first), dropped at the end.
class TestInstallation
{
public:
    enum Content { Empty, WithReferenceData, WithDemoData };

    explicit TestInstallation(Content content = Empty, const QString &adminPassword = "pw");
    ~TestInstallation();

    bool ok() const { return m_ok; }
    QString error() const { return m_error; }
    QString home() const { return m_dir.path() + QStringLiteral("/home"); }
    QString settingsFolder() const { return m_dir.path() + QStringLiteral("/settings"); }
    QString path(const QString &relative) const;
    // Writes a file under the temporary folder and returns its path.
    QString writeFile(const QString &name, const QByteArray &content) const;

    AppContext &context() { return *m_context; }
    DataModule &data() { return m_context->data; }

    // One value of a single-row query, for checks.
    QVariant scalar(const QString &sql);

    // The server the tests run against; empty for SQLite.
    static QString testServer();
    bool onServer() const { return !m_database.isEmpty(); }
    // The address of this installation's own database on the test server.
    QString serverAddress() const { return m_address; }
    // Makes an empty database on the test server and returns its address; dropped with this.
    QString newServerDatabase(QString *error);

private:
    QTemporaryDir m_dir;
    std::unique_ptr<AppContext> m_context;
    bool m_ok = false;
    QString m_error;
    QString m_database;
    QString m_address;
    QStringList m_databases;
};
