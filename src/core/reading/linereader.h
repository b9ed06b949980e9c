#ifndef CORVANE_LINEREADER_H
#define CORVANE_LINEREADER_H

#include <QIODevice>

#include <cstring>
#include <memory>
#include <string>

namespace Corvane {

enum class ReadOutcome { EndOfInput, ReadError, Stopped };

// Longer than any line a project holds; past this the input is not a project, and a line
// of gigabytes would not fit in a QString anyway.
constexpr qsizetype maxLineSize = 256 * 1024 * 1024;

// Reads the device in blocks, never whole. The complete lines of a block go to
// onLines(const char *begin, const char *end) together, each ending in "\n"; a line that
// spans blocks goes, once whole, to onLine(const char *data, qsizetype size) without its
// "\n", as does a last line without one. A line longer than maxLine is a read error. Either
// callback returns false to stop early.
template <typename OnLines, typename OnLine>
ReadOutcome forEachLineBlock(QIODevice &device, OnLines &&onLines, OnLine &&onLine,
                             qsizetype maxLine = maxLineSize)
{
    // A small project, read twice a conversion, needs no large block.
    constexpr qint64 smallest = 4096;
    constexpr qint64 largest = 256 * 1024;
    const qint64 blockSize = device.isSequential()
                                 ? largest
                                 : qBound(smallest, device.size() - device.pos() + 1, largest);
    const std::unique_ptr<char[]> block(new char[size_t(blockSize)]);
    std::string pending; // the start of a line that goes on in the next block
    for (;;) {
        const qint64 got = device.read(block.get(), blockSize);
        if (got < 0)
            return ReadOutcome::ReadError;
        if (got == 0)
            break;
        const char *p = block.get();
        const char *const end = p + got;
        if (!pending.empty()) {
            const auto *newline = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
            pending.append(p, size_t((newline ? newline : end) - p));
            if (qsizetype(pending.size()) > maxLine)
                return ReadOutcome::ReadError;
            if (!newline)
                continue;
            if (!onLine(pending.data(), qsizetype(pending.size())))
                return ReadOutcome::Stopped;
            pending.clear();
            p = newline + 1;
        }
        const char *linesEnd = end;
        while (linesEnd > p && linesEnd[-1] != '\n')
            --linesEnd;
        if (linesEnd > p && !onLines(p, linesEnd))
            return ReadOutcome::Stopped;
        pending.assign(linesEnd, size_t(end - linesEnd));
        if (qsizetype(pending.size()) > maxLine)
            return ReadOutcome::ReadError;
    }
    if (!pending.empty() && !onLine(pending.data(), qsizetype(pending.size())))
        return ReadOutcome::Stopped;
    return ReadOutcome::EndOfInput;
}

// Hands every line of the device to onLine(const char *data, qsizetype size), without its
// "\n"; see forEachLineBlock(). onLine returns false to stop early.
template <typename OnLine>
ReadOutcome forEachLine(QIODevice &device, OnLine &&onLine, qsizetype maxLine = maxLineSize)
{
    auto eachLine = [&onLine](const char *p, const char *end) {
        while (p < end) {
            const auto *newline = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
            if (!onLine(p, qsizetype(newline - p)))
                return false;
            p = newline + 1;
        }
        return true;
    };
    return forEachLineBlock(device, eachLine, onLine, maxLine);
}

} // namespace Corvane

#endif
