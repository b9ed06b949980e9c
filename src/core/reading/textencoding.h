#ifndef CORVANE_TEXTENCODING_H
#define CORVANE_TEXTENCODING_H

#include <QByteArray>

namespace Corvane {

// How the text of a source file is encoded, as far as its bytes tell.
enum class TextEncoding {
    Ascii,       // nothing but ASCII: any editor reads it
    Utf8,        // valid UTF-8 with non-ASCII text, or UTF-8 behind its byte order mark
    Gbk,         // not UTF-8, valid GBK, its double-byte characters mostly Chinese
    Windows1252, // not UTF-8 nor Chinese: Western text (’ “ ” – é) in Windows' ANSI code page
    Unknown,     // none of these
};

// Judges the first bytes of a file. With `truncated`, the bytes stop inside the file, and
// a character cut in two at their end is not held against them.
TextEncoding detectEncoding(const QByteArray &bytes, bool truncated = false);

// How many of a project's sources and headers are in each encoding an editor must be told.
struct EncodingCount
{
    int utf8 = 0;
    int gbk = 0;
    int windows1252 = 0;

    void add(TextEncoding encoding);
    EncodingCount &operator+=(const EncodingCount &other);
    // The codec most of them are in, as Qt Creator names it ("GBK", "windows-1252"); empty
    // when as many or more are UTF-8, an editor's default.
    QByteArray majorityCodec() const;
};

} // namespace Corvane

#endif
