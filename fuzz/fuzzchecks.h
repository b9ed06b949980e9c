#ifndef CORVANE_FUZZCHECKS_H
#define CORVANE_FUZZCHECKS_H

#include <QByteArray>
#include <QDateTime>
#include <QString>

// What both fuzz targets check on a generated .pro, and the forms of an input that must
// give the same .pro as the input itself.
namespace FuzzChecks {

// Reports the finding on stderr and aborts, so that libFuzzer saves the input.
[[noreturn]] void fail(const char *what, const QString &detail = QString());

// No value of the .pro after its banner reaches qmake as syntax: every "$" and "#" outside
// a comment is part of $${LITERAL_DOLLAR}, $${LITERAL_HASH} or $$escape_expand(), braces
// and "'" appear only inside double quotes, and double quotes pair up on every line; no
// scope line continues the list line before it.
void checkLiteralValues(const QByteArray &pro, const QByteArray &banner);

// The .pro starts with the banner for `time`, ends with the closing lines and passes
// checkLiteralValues.
void checkPro(const QByteArray &pro, const QDateTime &time);

// The input with a blank at the end of every line, before its "\r\n" or "\n": values are
// trimmed, and lines that would take the converter's shortcuts for plain elements go
// through its general path.
QByteArray withTrailingBlanks(const QByteArray &input);

// A well-formed project made from the input (each line an element, its first byte choosing
// which), pretty-printed and written on one line.
void structured(const QByteArray &input, QByteArray *pretty, QByteArray *compact);

} // namespace FuzzChecks

#endif
