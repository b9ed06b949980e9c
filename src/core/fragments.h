#ifndef CORVANE_FRAGMENTS_H
#define CORVANE_FRAGMENTS_H

#include <QByteArray>
#include <QDateTime>
#include <QString>

// The pieces of a generated qmake project file. Every line ends in "\r\n"; values are
// written as UTF-8.
namespace Corvane::Fragments {

// 43 number signs, the tool's banner and the console/no-Qt configuration.
QByteArray banner(const QDateTime &time);

extern const char deviceLead[];     // "# Device "
extern const char definesOpener[];  // "\r\nDEFINES += \\ \r\n\t"
extern const char includesOpener[]; // "\r\nINCLUDEPATH += \\ \r\n\t"
extern const char headersOpener[];  // blank lines, then "HEADERS += \\ \r\n"
extern const char sourcesOpener[];  // blank lines, then "SOURCES += \\ \r\n"
extern const char listEnd[];        // "\r\n\r\n" after a define list
extern const char closing[];        // "\r\n\r\n\r\n" at the end of the file

// "\t", the device name, "\r\n\r\n".
QByteArray deviceValue(const QString &device);

// The items of a uVision define list, one per continuation line.
QByteArray defineList(const QString &defines);

// The directories of a uVision include list, one per continuation line.
QByteArray includeList(const QString &includes);

// One line of a HEADERS or SOURCES list: "\t", the path, " \\", "\r\n".
QByteArray fileEntry(const QString &path);

// A path as qmake reads it: in double quotes when it contains white space.
QString qmakePath(const QString &path);

// A ';'-separated include entry: trimmed, outer double quotes removed, '/' separators.
QString cleanIncludeEntry(const QString &entry);

// A define list split into single defines: on ',' and, within each item, on runs of
// white space outside double quotes. An empty ',' item gives one empty define.
QStringList splitDefines(const QString &defines);

} // namespace Corvane::Fragments

#endif
