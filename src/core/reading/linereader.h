#ifndef CORVANE_LINEREADER_H
#define CORVANE_LINEREADER_H

#include <QByteArray>
#include <QIODevice>

#include <cstring>
#include <utility>

namespace Corvane {

enum class ReadOutcome { EndOfInput, ReadError, Stopped };

// Longer than any line a project holds; past this the input is not a project, and a line
// of gigabytes would not fit in a QString anyway.
constexpr qsizetype maxLineSize = 256 * 1024 * 1024;

// The last "\n" in [begin, end), or null.
inline const char *lastNewline(const char *begin, const char *end)
{
#ifdef __GLIBC__
    return static_cast<const char *>(memrchr(begin, '\n', size_t(end - begin)));
#else
    while (end > begin && end[-1] != '\n')
        --end;
    return end > begin ? end - 1 : nullptr;
#endif
}

// Reads the device in chunks of whole lines and hands each to onChunk(QByteArray chunk): every
// line of a chunk ends in "\n", one is added to a last line without it. Chunks are about a
// read block long, or one line when a line is longer. The bytes are handed over, not
// copied, so that the chunks can go to another thread; spare() gives a buffer to fill next,
// one handed over before when it is done with, so that a large project is not read into
// ever new memory. A line longer than maxLine is a read error. onChunk returns false to
// stop early.
template <typename OnChunk, typename Spare>
ReadOutcome forEachLineChunk(QIODevice &device, OnChunk &&onChunk, Spare &&spare,
                             qsizetype maxLine = maxLineSize)
{
    // A small project needs no large block.
    constexpr qint64 smallest = 4096;
    constexpr qint64 largest = 256 * 1024;
    const qsizetype blockSize = qsizetype(
        device.isSequential() ? largest
                              : qBound(smallest, device.size() - device.pos() + 1, largest));
    QByteArray chunk = spare();
    qsizetype used = 0;    // bytes in chunk
    qsizetype scanned = 0; // of them, known to hold no "\n"
    for (;;) {
        if (chunk.size() < used + blockSize)
            chunk.resize(int(used + blockSize));
        const qint64 got = device.read(chunk.data() + used, blockSize);
        if (got < 0)
            return ReadOutcome::ReadError;
        if (got == 0)
            break;
        used += got;
        const char *const data = chunk.constData();
        const char *newline = lastNewline(data + scanned, data + used);
        if (!newline) {
            scanned = used;
            if (used > maxLine)
                return ReadOutcome::ReadError;
            continue; // a line that goes on in the next block
        }
        // The first line, which may have begun in an earlier block, ends here.
        if (std::memchr(data + scanned, '\n', size_t(used - scanned)) > data + maxLine)
            return ReadOutcome::ReadError;
        // The start of a line that goes on is the start of the next chunk.
        ++newline;
        const qsizetype rest = data + used - newline;
        QByteArray next = spare();
        next.resize(int(rest));
        std::memcpy(next.data(), newline, size_t(rest));
        chunk.resize(int(newline - data));
        if (!onChunk(std::move(chunk)))
            return ReadOutcome::Stopped;
        chunk = std::move(next);
        used = scanned = rest;
    }
    if (used > 0) {
        chunk.resize(int(used));
        chunk.append('\n');
        if (!onChunk(std::move(chunk)))
            return ReadOutcome::Stopped;
    }
    return ReadOutcome::EndOfInput;
}

// The same, each chunk handled before the next is read: two buffers take turns.
template <typename OnChunk>
ReadOutcome forEachLineChunk(QIODevice &device, OnChunk &&onChunk, qsizetype maxLine = maxLineSize)
{
    QByteArray done;
    return forEachLineChunk(
        device,
        [&onChunk, &done](QByteArray chunk) {
            const bool goOn = onChunk(chunk);
            done = std::move(chunk);
            return goOn;
        },
        [&done] { return std::move(done); }, maxLine);
}

// Hands every line of the device to onLine(const char *data, qsizetype size), without its
// "\n"; see forEachLineChunk(). onLine returns false to stop early.
template <typename OnLine>
ReadOutcome forEachLine(QIODevice &device, OnLine &&onLine, qsizetype maxLine = maxLineSize)
{
    return forEachLineChunk(
        device,
        [&onLine](const QByteArray &chunk) {
            const char *p = chunk.constData();
            const char *const end = p + chunk.size();
            while (p < end) {
                const auto *newline =
                    static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
                if (!onLine(p, qsizetype(newline - p)))
                    return false;
                p = newline + 1;
            }
            return true;
        },
        maxLine);
}

} // namespace Corvane

#endif
