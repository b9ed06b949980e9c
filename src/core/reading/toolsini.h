#ifndef CORVANE_TOOLSINI_H
#define CORVANE_TOOLSINI_H

#include <QByteArray>
#include <QString>

namespace Corvane {

// Bytes in the ANSI code page of the machine that wrote them (GBK on a Chinese Windows) to
// text.
using AnsiDecoder = QString (*)(const QByteArray &bytes);

// The ANSI code page of this machine: QString::fromLocal8Bit, which is that code page on
// Windows.
QString decodeSystemAnsi(const QByteArray &bytes);

// The value of `key` in `[section]` of a Keil TOOLS.INI, read as Windows' profile functions
// read it for uVision: CRLF or LF line ends, names in any letter case, blanks around '='
// ignored, one pair of enclosing quotes dropped, the first entry of that name in the section
// counting. uVision writes the file in the ANSI code page: a value that is valid UTF-8 (the
// file saved by a UTF-8 editor) is taken as UTF-8, any other goes through `decode`. Null
// when the section has no such entry.
QString toolsIniValue(const QByteArray &ini, QLatin1String section, QLatin1String key,
                      AnsiDecoder decode = decodeSystemAnsi);

// The pack folder that `root`/TOOLS.INI names ([UV2] RTEPATH), absolute with '/'
// separators; an RTEPATH relative to the root is resolved against it. Empty when the file
// is missing, cannot be read or names no folder.
QString toolsIniPackFolder(const QString &root, AnsiDecoder decode = decodeSystemAnsi);

} // namespace Corvane

#endif
