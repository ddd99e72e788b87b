#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// The tools a test asks for an outside opinion (pdftotext, minisign, sqlite3, psql) are the build
// machine's. Under Wine, TARVIK_HOST_TOOLS names their folder there: Wine starts them by their
// path, and the test's folders, which are on drive Z: (the build machine's root), reach them by
// their own paths.
namespace HostTool
{

inline QString program(const QString &name)
{
    const QString folder = qEnvironmentVariable("TARVIK_HOST_TOOLS");
    return folder.isEmpty() ? name : folder + u'/' + name;
}

inline QStringList arguments(QStringList args)
{
    if (qEnvironmentVariableIsEmpty("TARVIK_HOST_TOOLS")) return args;
    for (QString &a : args)
        if (a.size() > 2 && a[1] == u':' && a[0].toUpper() == u'Z') {
            a.remove(0, 2);
            a.replace(u'\\', u'/');
        }
    return args;
}

inline void start(QProcess &p, const QString &name, const QStringList &args)
{
    p.start(program(name), arguments(args));
}

inline int execute(const QString &name, const QStringList &args)
{
    return QProcess::execute(program(name), arguments(args));
}

} // namespace HostTool
