#ifndef CORVANE_FRAGMENTS_H
#define CORVANE_FRAGMENTS_H

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringView>

#include <vector>

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
// At the end of a target: the headers and the other files of its groups.
extern const char groupHeadersOpener[]; // "\r\nHEADERS += \\ \r\n"
extern const char distFilesOpener[];    // "\r\nDISTFILES += \\ \r\n"
extern const char listEnd[];            // "\r\n\r\n" after a define list
// Definitions for Qt Creator's code model only: qmake writing a Makefile does not set qtc_run.
extern const char keywordsOpener[]; // a comment, "qtc_run: DEFINES += \\ \r\n\t"
extern const char closing[];        // "\r\n\r\n\r\n" at the end of the file

// A project of several targets puts each target's blocks in a scope; the variable
// UV_TARGET picks one ("qmake UV_TARGET=Release"), the first target by default.
QByteArray scopeDefault(const QString &target); // isEmpty(UV_TARGET): UV_TARGET = "name"
// After the default: "# UV_TARGET by number", then for each target n, 1 for the first,
// equals(UV_TARGET, n): UV_TARGET = "name" -- unless n is itself a target's name, which
// selects that target as before.
QByteArray targetNumbers(const QStringList &targets);
QByteArray scopeOpener(const QString &target); // equals(UV_TARGET, "name") {
extern const char scopeCloser[];               // "}\r\n"
// After the last scope: qmake stops with an error naming the targets when UV_TARGET names
// none of them, rather than reading an empty project. Compared with equals(), one target
// at a time: contains() would take the value as a regular expression.
QByteArray targetCheck(const QStringList &targets);

// Where uVision links a target's program, for Qt Creator's Run and Debug: under qtc_run
// only, TARGET, an absolute DESTDIR and TARGET_EXT .axf. `folder` is the OutputDirectory
// as the project holds it: relative to the .pro's folder, absolute, or empty for that folder.
QByteArray linkedProgram(const QString &folder, const QString &name);

// "\t", the device name, "\r\n\r\n".
QByteArray deviceValue(const QString &device);

// The items of a uVision define list, one per continuation line.
QByteArray defineList(const QString &defines);
// Define items (see defineItems()) the same way.
QByteArray defineValues(const std::vector<QStringView> &items);

// Values one per continuation line, each literal (see qmakeValue).
QByteArray valueList(const QStringList &values);

// Whether text is ASCII that qmakeValue() writes as it is.
bool isPlainAscii(QStringView text);

// One line of a HEADERS or SOURCES list: "\t", the path, " \\", "\r\n".
QByteArray fileEntry(const QString &path);

// How a value is written in qmake syntax.
enum class ValueSyntax {
    Literal,    // the exact text; double quotes only where blanks, braces or ' need them
    Quoted,     // the exact text, always in double quotes (scope names)
    DefineItem, // balanced double quotes group text as qmake quotes do; the rest literal
};

// A value as qmake reads it back literally: no $$ expansion, no comment, no scope braces,
// no broken quoting, whatever it holds. "$" becomes $${LITERAL_DOLLAR}, "#"
// $${LITERAL_HASH}, "\\" and '"' are backslash-escaped, line breaks go through
// $$escape_expand. Text without any of these characters, blanks, braces or "'" is
// written as it is. Every value the converter writes passes through here.
QString qmakeValue(const QString &text, ValueSyntax syntax = ValueSyntax::Literal);

// A device name made safe for the "# Device" comment: no line breaks.
QString commentText(const QString &text);

} // namespace Corvane::Fragments

#endif
