#include "reading/textencoding.h"

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

// GBK: a lead byte 0x81-0xfe and a trail byte 0x40-0xfe other than 0x7f.
Check checkGbk(const unsigned char *p, const unsigned char *end)
{
    while (p < end) {
        const unsigned c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        if (c == 0x80 || c == 0xff)
            return {Result::Invalid};
        if (p + 1 >= end)
            return {Result::CutShort, p};
        const unsigned trail = p[1];
        if (trail < 0x40 || trail == 0x7f || trail == 0xff)
            return {Result::Invalid};
        p += 2;
    }
    return {Result::Valid};
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
    if (accepted(checkGbk(p, end), truncated))
        return TextEncoding::Gbk;
    return TextEncoding::Unknown;
}

} // namespace Corvane
