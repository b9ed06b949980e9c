#ifndef CORVANE_TEXTENCODING_H
#define CORVANE_TEXTENCODING_H

#include <QByteArray>

namespace Corvane {

// How the text of a source file is encoded, as far as its bytes tell.
enum class TextEncoding {
    Ascii,   // nothing but ASCII: any editor reads it
    Utf8,    // valid UTF-8 with non-ASCII text
    Gbk,     // not UTF-8, but valid GBK: the ANSI code page of a Chinese Windows
    Unknown, // neither
};

// Judges the first bytes of a file. With `truncated`, the bytes stop inside the file, and
// a character cut in two at their end is not held against them.
TextEncoding detectEncoding(const QByteArray &bytes, bool truncated = false);

} // namespace Corvane

#endif
