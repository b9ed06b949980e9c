#include "consoleoutput.h"

#include <QByteArray>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

namespace {

void writeBytes(std::FILE *stream, const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

#ifdef Q_OS_WIN
// Writes to the console behind the stream, if it is one; false for a pipe or a file.
bool writeConsole(std::FILE *stream, const QString &text)
{
    const HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr || !GetConsoleMode(handle, &mode))
        return false;
    std::fflush(stream); // anything the C runtime still holds goes first
    // Older consoles refuse large writes: pieces of at most 8K UTF-16 units, a surrogate pair
    // never split between two.
    const int chunk = 8192;
    for (int from = 0; from < text.size();) {
        int length = qMin(chunk, text.size() - from);
        if (from + length < text.size() && text.at(from + length - 1).isHighSurrogate())
            --length;
        DWORD written = 0;
        if (!WriteConsoleW(handle, text.utf16() + from, DWORD(length), &written, nullptr) ||
            written == 0)
            return from > 0; // nothing out yet: the caller writes the bytes instead
        from += int(written);
    }
    return true;
}
#endif

} // namespace

void writeLine(std::FILE *stream, const QString &text)
{
    const QString line = text + QLatin1Char('\n');
#ifdef Q_OS_WIN
    if (!writeConsole(stream, line))
        writeBytes(stream, line.toUtf8());
#else
    writeBytes(stream, line.toLocal8Bit());
#endif
}
