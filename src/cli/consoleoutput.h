#ifndef CORVANE_CONSOLEOUTPUT_H
#define CORVANE_CONSOLEOUTPUT_H

#include <QString>

#include <cstdio>

// One line of text on stdout or stderr, readable whatever the stream is. On Windows a
// console gets the text as UTF-16 through the console's own API, so it does not depend on
// the ANSI code page; a pipe or a file gets UTF-8 (CRLF line ends, as the C runtime writes
// text). Elsewhere the bytes are those of the locale, UTF-8 in a UTF-8 locale.
void writeLine(std::FILE *stream, const QString &text);

#endif
