#ifndef CORVANE_TESTS_QMAKETOOL_H
#define CORVANE_TESTS_QMAKETOOL_H

#include <QByteArray>
#include <QHash>
#include <QProcess>
#include <QString>
#include <QStringList>

// Reading a generated .pro back with the real qmake, as an IDE does. Suites that use it
// define CORVANE_QMAKE (the qmake of the Qt the tests were built with) when one can run.
namespace QmakeTool {

// The qmake to run, or an empty string with the reason in *whyNot.
inline QString program(QString *whyNot)
{
#ifdef CORVANE_QMAKE
    Q_UNUSED(whyNot)
    return QStringLiteral(CORVANE_QMAKE);
#else
    *whyNot = QStringLiteral("no runnable qmake was found when the tests were configured");
    return QString();
#endif
}

// Runs qmake with args in workDir (the current folder when empty). Returns false with a
// reason when qmake cannot start, hangs or fails; *err gets what it wrote on stderr.
inline bool run(const QStringList &args, const QString &workDir, QByteArray *out, QByteArray *err,
                QString *error)
{
    QString whyNot;
    const QString qmake = program(&whyNot);
    if (qmake.isEmpty()) {
        *error = whyNot;
        return false;
    }
    QProcess process;
    if (!workDir.isEmpty())
        process.setWorkingDirectory(workDir);
    process.start(qmake, args);
    if (!process.waitForStarted(10000)) {
        *error = QStringLiteral("qmake did not start: ") + process.errorString();
        return false;
    }
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished(5000);
        *error = QStringLiteral("qmake did not finish within a minute");
        return false;
    }
    *err = process.readAllStandardError();
    *out = process.readAllStandardOutput();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        *error = QStringLiteral("qmake failed: ") + QString::fromUtf8(*err);
        return false;
    }
    return true;
}

// qmake -E on a file: every variable after evaluation, one "NAME = value ..." per line.
// Returns false with a reason when qmake cannot start, hangs or reports an error.
inline bool evaluate(const QString &proFile, const QStringList &extraArgs, QByteArray *out,
                     QString *error, const QString &workDir = QString())
{
    QByteArray err;
    if (!run(QStringList{QStringLiteral("-E")} + extraArgs + QStringList{proFile}, workDir, out,
             &err, error))
        return false;
    // qmake reports syntax errors on stderr and may still exit with 0.
    if (err.contains("rror")) {
        *error = QStringLiteral("qmake reported: ") + QString::fromUtf8(err);
        return false;
    }
    return true;
}

// qmake -r on a subdirs project from buildDir, as a shadow build runs it: every subproject
// is read and gets its Makefile. Gives the .pro files read, in order (qmake's "Reading
// FILE [FOLDER]" lines: Qt 6's qmake writes them in Latin-1); false with a reason on an
// error or a warning.
inline bool recurse(const QString &proFile, const QString &buildDir, QStringList *read,
                    QString *error)
{
    QByteArray out;
    QByteArray err;
    if (!run({QStringLiteral("-r"), proFile}, buildDir, &out, &err, error))
        return false;
    if (err.contains("rror") || err.contains("WARNING")) {
        *error = QStringLiteral("qmake reported: ") + QString::fromUtf8(err);
        return false;
    }
    read->clear();
    const QList<QByteArray> lines = out.split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith("Reading ") && line.endsWith(']'))
            read->append(QString::fromUtf8(line.mid(8, line.lastIndexOf(" [") - 8)));
    }
    return true;
}

// The variables of qmake -E output: "NAME = value value ...", a value with blanks in double
// quotes, '\' escaping the next character (\t, \r, \n and \xNN for control characters).
inline QHash<QString, QStringList> variables(const QByteArray &output)
{
    QHash<QString, QStringList> vars;
    const QList<QByteArray> lines = output.split('\n');
    for (const QByteArray &rawLine : lines) {
        const QString line = QString::fromUtf8(rawLine);
        const int eq = line.indexOf(QLatin1String(" = "));
        if (eq <= 0)
            continue;
        QStringList values;
        QString current;
        bool quoted = false;
        bool any = false;
        const QString rest = line.mid(eq + 3);
        for (int i = 0; i < rest.size(); ++i) {
            const QChar c = rest.at(i);
            if (c == QLatin1Char('\\') && i + 1 < rest.size()) {
                const QChar e = rest.at(++i);
                if (e == QLatin1Char('t'))
                    current += QLatin1Char('\t');
                else if (e == QLatin1Char('r'))
                    current += QLatin1Char('\r');
                else if (e == QLatin1Char('n'))
                    current += QLatin1Char('\n');
                else if (e == QLatin1Char('x') && i + 2 < rest.size()) {
                    current += QChar(rest.mid(i + 1, 2).toUShort(nullptr, 16));
                    i += 2;
                } else
                    current += e;
                any = true;
            } else if (c == QLatin1Char('"')) {
                quoted = !quoted;
                any = true;
            } else if (c == QLatin1Char(' ') && !quoted) {
                if (any)
                    values.append(current);
                current.clear();
                any = false;
            } else {
                current += c;
                any = true;
            }
        }
        if (any)
            values.append(current);
        vars.insert(line.left(eq), values);
    }
    return vars;
}

} // namespace QmakeTool

#endif
