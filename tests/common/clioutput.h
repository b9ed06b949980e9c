#ifndef CORVANE_TESTS_CLIOUTPUT_H
#define CORVANE_TESTS_CLIOUTPUT_H

#include <QDir>
#include <QString>

// What corvane-cli prints into a pipe: a path in the platform's spelling (backslashes on
// Windows), each line ended as the C runtime ends text lines (CRLF on Windows).
namespace CliOutput {

inline QString lineEnd()
{
#ifdef Q_OS_WIN
    return QStringLiteral("\r\n");
#else
    return QStringLiteral("\n");
#endif
}

inline QString line(const QString &text)
{
    return text + lineEnd();
}

inline QString pathLine(const QString &path)
{
    return line(QDir::toNativeSeparators(path));
}

} // namespace CliOutput

#endif
