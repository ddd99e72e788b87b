#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

// The tools a test asks for an outside opinion (pdftotext, minisign) are the build machine's.
// Under Wine, TARVIK_HOST_TOOLS names their folder there. A Windows process cannot wait for a
// program of the machine (start.exe /unix starts it and returns at once, with no pipes), so there
// the tool runs in a shell script that leaves its output and its exit code in files, and the test
// waits for the exit code's file. The test's folders are on drive Z: (the machine's root): their
// paths are handed over as the machine's.
namespace HostTool
{

struct Result {
    int exitCode = -1; // -1: it did not end in time, or did not start
    QByteArray output;
};

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

inline Result run(const QString &name, const QStringList &args, int timeoutMs = 20000)
{
    Result r;
    if (qEnvironmentVariableIsEmpty("TARVIK_HOST_TOOLS")) {
        QProcess p;
        p.start(name, args);
        if (!p.waitForFinished(timeoutMs) || p.exitStatus() != QProcess::NormalExit) return r;
        r.exitCode = p.exitCode();
        r.output = p.readAllStandardOutput();
        return r;
    }
    QTemporaryDir dir;
    auto quoted = [](QString word) {
        return u'\'' + word.replace(u'\'', QStringLiteral("'\\''")) + u'\'';
    };
    const QString out = arguments({dir.filePath("out")}).first();
    const QString code = arguments({dir.filePath("code")}).first();
    QString command = quoted(program(name));
    for (const QString &a : arguments(args))
        command += u' ' + quoted(a);
    command += QStringLiteral(" >%1 2>/dev/null; echo $? >%2.part; mv %2.part %2")
                   .arg(quoted(out), quoted(code));
    // start.exe splits what follows the program at blanks again: the command goes in a file.
    QFile script(dir.filePath("run.sh"));
    if (!script.open(QIODevice::WriteOnly)) return r;
    script.write(command.toUtf8() + '\n');
    script.close();
    QProcess::execute(QStringLiteral("start.exe"),
                      {QStringLiteral("/unix"), QStringLiteral("/bin/sh"),
                       arguments({script.fileName()}).first()});
    const QDeadlineTimer deadline(timeoutMs);
    QFile codeFile(dir.filePath("code"));
    while (!codeFile.exists() && !deadline.hasExpired())
        QThread::msleep(50);
    if (!codeFile.open(QIODevice::ReadOnly)) return r;
    r.exitCode = codeFile.readAll().trimmed().toInt();
    QFile outFile(dir.filePath("out"));
    if (outFile.open(QIODevice::ReadOnly)) r.output = outFile.readAll();
    return r;
}

} // namespace HostTool
