#ifndef CORVANE_LINEREADER_H
#define CORVANE_LINEREADER_H

#include <QIODevice>

#include <cstring>
#include <string>

namespace Corvane {

enum class ReadOutcome { EndOfInput, ReadError, Stopped };

// Longer than any line a project holds; past this the input is not a project, and a line
// of gigabytes would not fit in a QString anyway.
constexpr qsizetype maxLineSize = 256 * 1024 * 1024;

// Hands every line of the device to onLine(const char *data, qsizetype size), without its
// "\n". Lines are read whole up to maxLine bytes, a longer one is a read error; the input
// is read in blocks and never held whole. onLine returns false to stop early.
template <typename OnLine>
ReadOutcome forEachLine(QIODevice &device, OnLine &&onLine, qsizetype maxLine = maxLineSize)
{
    constexpr qint64 blockSize = 256 * 1024;
    std::string block(blockSize, '\0');
    std::string pending; // the start of a line that goes on in the next block
    for (;;) {
        const qint64 got = device.read(&block[0], blockSize);
        if (got < 0)
            return ReadOutcome::ReadError;
        if (got == 0)
            break;
        const char *p = block.data();
        const char *const end = p + got;
        while (p < end) {
            const auto *newline = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
            if (!newline || !pending.empty()) {
                pending.append(p, size_t((newline ? newline : end) - p));
                if (qsizetype(pending.size()) > maxLine)
                    return ReadOutcome::ReadError;
                if (!newline)
                    break;
            }
            // A line that lies within the block is handed over without a copy.
            const bool goOn = pending.empty() ? onLine(p, qsizetype(newline - p))
                                              : onLine(pending.data(), qsizetype(pending.size()));
            pending.clear();
            if (!goOn)
                return ReadOutcome::Stopped;
            p = newline + 1;
        }
    }
    if (!pending.empty() && !onLine(pending.data(), qsizetype(pending.size())))
        return ReadOutcome::Stopped;
    return ReadOutcome::EndOfInput;
}

} // namespace Corvane

#endif
