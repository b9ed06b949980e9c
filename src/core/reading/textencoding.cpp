#include "reading/textencoding.h"

#include <QDir>

namespace Corvane {

namespace {

enum class Result { Valid, Invalid, CutShort };

struct Check
{
    Result result;
    const unsigned char *at = nullptr; // where a cut-short character starts
};

// UTF-8 as RFC 3629 has it: no overlong forms, no surrogates, nothing past U+10FFFF.
Check checkUtf8(const unsigned char *p, const unsigned char *end)
{
    while (p < end) {
        const unsigned c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int length = 0;
        unsigned low = 0x80;
        unsigned high = 0xbf; // the allowed range of the second byte
        if (c >= 0xc2 && c <= 0xdf) {
            length = 2;
        } else if (c >= 0xe0 && c <= 0xef) {
            length = 3;
            if (c == 0xe0)
                low = 0xa0;
            else if (c == 0xed)
                high = 0x9f;
        } else if (c >= 0xf0 && c <= 0xf4) {
            length = 4;
            if (c == 0xf0)
                low = 0x90;
            else if (c == 0xf4)
                high = 0x8f;
        } else {
            return {Result::Invalid};
        }
        for (int i = 1; i < length; ++i) {
            if (p + i >= end)
                return {Result::CutShort, p};
            const unsigned next = p[i];
            if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xbf))
                return {Result::Invalid};
        }
        p += length;
    }
    return {Result::Valid};
}

// GBK: a lead byte 0x81-0xfe and a trail byte 0x40-0xfe other than 0x7f. Chinese text
// lies in GB2312's rows, both bytes 0xa1-0xfe; Windows-1252's punctuation before a letter
// ("doesn\x92t") makes a valid pair too, but outside those rows.
struct GbkScan
{
    Check check{Result::Valid};
    int chinese = 0; // pairs in GB2312's rows
    int others = 0;  // other pairs, and high bytes that start none
};

GbkScan scanGbk(const unsigned char *p, const unsigned char *end)
{
    GbkScan scan;
    while (p < end) {
        const unsigned c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        const bool lead = c != 0x80 && c != 0xff;
        if (lead && p + 1 >= end) {
            if (scan.check.result == Result::Valid)
                scan.check = {Result::CutShort, p};
            break;
        }
        const unsigned trail = lead ? p[1] : 0;
        if (trail < 0x40 || trail == 0x7f || trail == 0xff) {
            scan.check = {Result::Invalid};
            ++scan.others;
            ++p;
            continue;
        }
        ++(c >= 0xa1 && trail >= 0xa1 ? scan.chinese : scan.others);
        p += 2;
    }
    return scan;
}

// Every byte but the five Windows-1252 leaves undefined.
bool isWindows1252(const unsigned char *p, const unsigned char *end)
{
    for (; p < end; ++p) {
        if (*p == 0x81 || *p == 0x8d || *p == 0x8f || *p == 0x90 || *p == 0x9d)
            return false;
    }
    return true;
}

bool accepted(Check check, bool truncated)
{
    return check.result == Result::Valid || (truncated && check.result == Result::CutShort);
}

} // namespace

TextEncoding detectEncoding(const QByteArray &bytes, bool truncated)
{
    const auto *begin = reinterpret_cast<const unsigned char *>(bytes.constData());
    const auto *end = begin + bytes.size();
    // Behind a byte order mark editors read UTF-8, whatever they are told.
    if (bytes.startsWith("\xef\xbb\xbf")) {
        return accepted(checkUtf8(begin + 3, end), truncated) ? TextEncoding::Utf8
                                                              : TextEncoding::Unknown;
    }
    const unsigned char *p = begin;
    while (p < end && *p < 0x80)
        ++p;
    if (p == end)
        return TextEncoding::Ascii;
    const Check utf8 = checkUtf8(p, end);
    // Nothing but the start of a character cut off at the end: no sign either way.
    if (truncated && utf8.result == Result::CutShort && utf8.at == p)
        return TextEncoding::Ascii;
    if (accepted(utf8, truncated))
        return TextEncoding::Utf8;
    // Mostly Chinese, but not valid GBK throughout: no Western text either.
    const GbkScan gbk = scanGbk(p, end);
    if (gbk.chinese > gbk.others)
        return accepted(gbk.check, truncated) ? TextEncoding::Gbk : TextEncoding::Unknown;
    return isWindows1252(p, end) ? TextEncoding::Windows1252 : TextEncoding::Unknown;
}

void SourceEncodings::add(const QString &path, TextEncoding encoding)
{
    if (encoding != TextEncoding::Ascii && encoding != TextEncoding::Unknown)
        m_files.insert(QDir::cleanPath(path), encoding);
}

SourceEncodings &SourceEncodings::operator+=(const SourceEncodings &other)
{
    for (auto it = other.m_files.cbegin(); it != other.m_files.cend(); ++it)
        m_files.insert(it.key(), it.value());
    return *this;
}

QByteArray SourceEncodings::majorityCodec() const
{
    int utf8 = 0;
    int gbk = 0;
    int windows1252 = 0;
    for (const TextEncoding encoding : m_files) {
        if (encoding == TextEncoding::Utf8)
            ++utf8;
        else if (encoding == TextEncoding::Gbk)
            ++gbk;
        else
            ++windows1252;
    }
    // A tie between the two goes to GBK: the Chinese are whom a .pro.shared is mostly for.
    if (gbk > utf8 && gbk >= windows1252)
        return QByteArrayLiteral("GBK");
    if (windows1252 > utf8 && windows1252 > gbk)
        return QByteArrayLiteral("windows-1252");
    return QByteArray();
}

} // namespace Corvane
