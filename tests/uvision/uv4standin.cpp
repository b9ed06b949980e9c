// Stands in for uVision's UV4.exe in the build tests: records its arguments, writes a build
// log with diagnostics of Arm Compiler 5 and 6 beside the usual lines, and exits with a
// chosen status.
//   UV4_STANDIN_RECORD  the file that receives the arguments, one a line, UTF-8
//   UV4_STANDIN_STATUS  the exit status, 0 by default
//   UV4_STANDIN_TRACE   a file that gets "start PROJECT" and "end PROJECT" appended
//   UV4_STANDIN_SLEEP   milliseconds between the two
// Named findstr(.exe) it does what findstr [/N] [/R] /L /I [/V] /C:"text"... FILE does:
// Wine's findstr is a stub, and the build's commands for cmd.exe use it. Named qmake(.exe)
// it records its arguments in QMAKE_STANDIN_RECORD and touches the Makefile, for make under
// Wine, which cannot run the cross qmake that wrote it.

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <QThread>

#include <algorithm>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

namespace {

// The lines of a uVision build log, as µVision writes it: CRLF line ends.
QByteArray buildLog(const QString &target)
{
    return "*** Using Compiler 'V5.06 update 7 (build 960)', folder: "
           "'C:\\Keil_v5\\ARM\\ARMCC\\Bin'\r\n"
           "Build target '" +
           target.toUtf8() +
           "'\r\n"
           "compiling main.c...\r\n"
           "..\\Src\\main.c(12): error:  #20: identifier \"x\" is undefined\r\n"
           "compiling led.c...\r\n"
           "../Src/led.c:7:5: warning: unused variable 'y' [-Wunused-variable]\r\n"
           "\".\\Objects\\fw.axf\" - 1 Error(s), 1 Warning(s).\r\n"
           "Target not created.\r\n";
}

int uv4(const QStringList &arguments)
{
    QFile record(qEnvironmentVariable("UV4_STANDIN_RECORD"));
    if (!record.fileName().isEmpty() && record.open(QIODevice::WriteOnly))
        record.write(arguments.join(QLatin1Char('\n')).toUtf8() + '\n');
    QFile trace(qEnvironmentVariable("UV4_STANDIN_TRACE"));
    const QByteArray project = arguments.value(1).toUtf8();
    if (!trace.fileName().isEmpty() && trace.open(QIODevice::Append)) {
        trace.write("start " + project + '\n');
        trace.flush();
        QThread::msleep(qEnvironmentVariableIntValue("UV4_STANDIN_SLEEP"));
        trace.write("end " + project + '\n');
    }
    const int log = arguments.indexOf(QStringLiteral("-o")) + 1;
    const int target = arguments.indexOf(QStringLiteral("-t")) + 1;
    if (log > 0 && log < arguments.size()) {
        QFile file(arguments.at(log));
        if (file.open(QIODevice::WriteOnly))
            file.write(buildLog(target > 0 && target < arguments.size() ? arguments.at(target)
                                                                        : QString()));
    }
    return qEnvironmentVariableIntValue("UV4_STANDIN_STATUS");
}

int findstr(const QStringList &arguments)
{
    bool invert = false;
    bool numbers = false;
    bool regex = false;
    QList<QByteArray> strings;
    QString path;
    for (const QString &argument : arguments) {
        if (argument.compare(QLatin1String("/V"), Qt::CaseInsensitive) == 0)
            invert = true;
        else if (argument.compare(QLatin1String("/N"), Qt::CaseInsensitive) == 0)
            numbers = true;
        else if (argument.compare(QLatin1String("/R"), Qt::CaseInsensitive) == 0)
            regex = true;
        else if (argument.startsWith(QLatin1String("/C:"), Qt::CaseInsensitive))
            strings.append(regex ? argument.mid(3).toUtf8() : argument.mid(3).toUtf8().toLower());
        else if (!argument.startsWith(QLatin1Char('/')))
            path = argument;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 2;
#ifdef Q_OS_WIN
    _setmode(1, _O_BINARY);
#endif
    QFile out;
    if (!out.open(1, QIODevice::WriteOnly))
        return 2;
    bool any = false;
    for (int number = 1; !file.atEnd(); ++number) {
        const QByteArray line = file.readLine();
        const QByteArray lower = line.toLower();
        const bool found = std::any_of(strings.cbegin(), strings.cend(), [&](const QByteArray &s) {
            // The build's one pattern means the same to findstr and to QRegularExpression.
            return regex ? QRegularExpression(QString::fromUtf8(s))
                               .match(QString::fromUtf8(line))
                               .hasMatch()
                         : lower.contains(s);
        });
        if (found != invert) {
            if (numbers)
                out.write(QByteArray::number(number) + ':');
            out.write(line);
            any = true;
        }
    }
    return any ? 0 : 1;
}

} // namespace

int qmake(const QStringList &arguments)
{
    QFile record(qEnvironmentVariable("QMAKE_STANDIN_RECORD"));
    if (!record.fileName().isEmpty() && record.open(QIODevice::Append))
        record.write(arguments.join(QLatin1Char(' ')).toUtf8() + '\n');
    QFile makefile(QStringLiteral("Makefile"));
    return makefile.open(QIODevice::ReadWrite) &&
                   makefile.setFileTime(QDateTime::currentDateTime(),
                                        QFileDevice::FileModificationTime)
               ? 0
               : 3;
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    const QString name = QFileInfo(app.applicationFilePath()).baseName().toLower();
    if (name == QLatin1String("findstr"))
        return findstr(arguments);
    if (name == QLatin1String("qmake"))
        return qmake(arguments);
    return uv4(arguments);
}
