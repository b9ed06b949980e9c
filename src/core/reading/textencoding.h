#ifndef CORVANE_TEXTENCODING_H
#define CORVANE_TEXTENCODING_H

#include <QByteArray>
#include <QHash>
#include <QString>

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

// The encodings of sources and headers that an editor must be told, each file once by its
// path: a library that two projects of a workspace share counts once.
class SourceEncodings
{
public:
    void add(const QString &path, TextEncoding encoding);
    SourceEncodings &operator+=(const SourceEncodings &other);
    // The codec most of the files are in, as Qt Creator names it ("GBK", "windows-1252");
    // empty when as many or more are UTF-8, an editor's default.
    QByteArray majorityCodec() const;

private:
    QHash<QString, TextEncoding> m_files; // UTF-8, GBK and Windows-1252 only
};

} // namespace Corvane

#endif
