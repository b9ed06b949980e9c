#include "projectconverter.h"

#include "fragments.h"
#include "linereader.h"

#include <algorithm>
#include <cstring>

namespace Corvane {

namespace {

constexpr size_t flushSize = 64 * 1024;
constexpr int maxCachedIncludeList = 64 * 1024;

const char *skipSpaces(const char *p, const char *end)
{
    while (p < end && *p == ' ')
        ++p;
    return p;
}

// Does [p, end) start with text, spaces between its characters allowed?
bool startsWithSpaced(const char *p, const char *end, const char *text)
{
    for (; *text; ++text) {
        p = skipSpaces(p, end);
        if (p == end || *p != *text)
            return false;
        ++p;
    }
    return true;
}

// A cheap test on the raw bytes: could the line, once its spaces are removed, hold one of
// the four closing tags? Most lines of a project cannot, and are never decoded.
bool mayCloseElement(const char *data, qsizetype size)
{
    const char *const end = data + size;
    for (const char *p = data; p < end; ++p) {
        p = static_cast<const char *>(std::memchr(p, '<', size_t(end - p)));
        if (!p)
            return false;
        const char *q = skipSpaces(p + 1, end);
        if (q == end || *q != '/')
            continue;
        q = skipSpaces(q + 1, end);
        if (q == end)
            return false;
        switch (*q) {
        case 'D':
            if (startsWithSpaced(q, end, "Device>") || startsWithSpaced(q, end, "Define>"))
                return true;
            break;
        case 'I':
            if (startsWithSpaced(q, end, "IncludePath>"))
                return true;
            break;
        case 'F':
            if (startsWithSpaced(q, end, "FilePath>"))
                return true;
            break;
        default:
            break;
        }
    }
    return false;
}

QString withoutSpaces(QString line)
{
    line.remove(QLatin1Char(' '));
    return line;
}

enum class Element { None, Device, Define, IncludePath, FilePath };

// Characters of a plain value: printable ASCII without blanks, markup, or anything qmake
// would not take literally.
bool isPlainValueByte(unsigned char c)
{
    if (c <= ' ' || c >= 0x7f)
        return false;
    switch (c) {
    case '<':
    case '&':
    case '$':
    case '#':
    case '{':
    case '}':
    case '"':
    case '\'':
        return false;
    default:
        return true;
    }
}

// Most lines that reach the element tests hold one element and nothing else, indented with
// spaces, with an empty value or a plain one (see isPlainValueByte):
//     <FilePath>..\Src\main.c</FilePath>
// Such a line means just that element and value, so it needs no decoding. Gives the element
// and its value for a line of that shape, Element::None for any other line.
Element plainElement(const char *data, qsizetype size, const char **value, qsizetype *valueSize)
{
    const char *const end = data + size;
    const char *const open = skipSpaces(data, end);
    if (end - open < 2 || *open != '<')
        return Element::None;
    const char *const name = open + 1;
    const auto *nameEnd = static_cast<const char *>(std::memchr(name, '>', size_t(end - name)));
    if (!nameEnd)
        return Element::None;
    const qsizetype nameSize = nameEnd - name;
    const char *const valueStart = nameEnd + 1;
    const char *valueEnd = valueStart;
    while (valueEnd < end && *valueEnd != '<') {
        if (!isPlainValueByte(static_cast<unsigned char>(*valueEnd)))
            return Element::None;
        ++valueEnd;
    }
    // The closing tag of the same element ends the line.
    if (end - valueEnd != nameSize + 3 || valueEnd[1] != '/' ||
        std::memcmp(valueEnd + 2, name, size_t(nameSize)) != 0 || end[-1] != '>')
        return Element::None;

    static const struct
    {
        const char *name;
        Element element;
    } elements[] = {{"Device", Element::Device},
                    {"Define", Element::Define},
                    {"IncludePath", Element::IncludePath},
                    {"FilePath", Element::FilePath}};
    for (const auto &e : elements) {
        if (qsizetype(std::strlen(e.name)) == nameSize &&
            std::memcmp(e.name, name, size_t(nameSize)) == 0) {
            *value = valueStart;
            *valueSize = valueEnd - valueStart;
            return e.element;
        }
    }
    return Element::None;
}

} // namespace

ProjectConverter::ProjectConverter(const QString &projectDir, const QDateTime &time)
    : m_headers(projectDir), m_time(time)
{}

ConversionStatus ProjectConverter::convert(QIODevice &project, QIODevice &output)
{
    m_output = &output;
    m_buffer.clear();
    m_buffer.reserve(flushSize * 2);
    m_writeFailed = false;
    m_lastWasSource = false;

    write(Fragments::banner(m_time));
    const ReadOutcome read = forEachLine(
        project, [this](const char *data, qsizetype size) { return handleLine(data, size); });
    if (read == ReadOutcome::ReadError)
        return ConversionStatus::ProjectReadFailed;
    write(Fragments::closing);
    flush();
    return m_writeFailed ? ConversionStatus::OutputFailed : ConversionStatus::Converted;
}

bool ProjectConverter::handleLine(const char *data, qsizetype size)
{
    if (size > 0 && data[size - 1] == '\r')
        --size;
    if (!mayCloseElement(data, size))
        return true;
    // Like a C string, the line ends at a NUL byte.
    if (const void *nul = std::memchr(data, '\0', size_t(size))) {
        size = static_cast<const char *>(nul) - data;
        if (!mayCloseElement(data, size))
            return true;
    }

    const char *value = nullptr;
    qsizetype valueSize = 0;
    const Element element = plainElement(data, size, &value, &valueSize);
    if (element != Element::None && valueSize == 0)
        return true; // an empty element writes nothing
    if (element == Element::FilePath) {
        writePlainSource(value, valueSize);
        return !m_writeFailed;
    }
    if (element == Element::IncludePath) {
        // A plain value has no blanks and no tags: handleElements would take it whole as
        // the include list and find nothing else on the line. Taken here, a list of
        // thousands of entries is not copied three times over.
        writeIncludes(QString::fromLatin1(value, int(valueSize)));
        return !m_writeFailed;
    }
    handleElements(QString::fromUtf8(data, int(size)));
    return !m_writeFailed;
}

// What handleElements writes for a FilePath line whose value has no blanks and is ASCII.
void ProjectConverter::writePlainSource(const char *path, qsizetype size)
{
    if (!m_lastWasSource)
        write(Fragments::sourcesOpener);
    // The text of Fragments::fileEntry for a path without blanks.
    m_buffer += '\t';
    const size_t start = m_buffer.size();
    m_buffer.append(path, size_t(size));
    std::replace(m_buffer.begin() + start, m_buffer.end(), '\\', '/');
    write(" \\\r\n");
    m_lastWasSource = true;
}

// The four elements are tested in this order on the same line, each on the line as the
// ones before left it. An element's value is the line without its tags, trimmed; blanks
// inside it stay, an empty value writes nothing.
void ProjectConverter::handleElements(QString line)
{
    QString bare = withoutSpaces(line);

    static const QString deviceClose = QStringLiteral("</Device>");
    if (bare.indexOf(deviceClose) > 8) {
        line.remove(deviceClose);
        line.remove(QStringLiteral("<Device>"));
        const QString device = line.trimmed();
        if (!device.isEmpty()) {
            write(Fragments::deviceLead);
            write(Fragments::deviceValue(device));
            m_lastWasSource = false;
        }
        line = QLatin1Char('\t') + line + QLatin1String("\r\n\r\n");
        bare = withoutSpaces(line);
    }

    static const QString defineClose = QStringLiteral("</Define>");
    if (bare.indexOf(defineClose) > 8) {
        line.remove(QStringLiteral("<Define>"));
        line.remove(defineClose);
        const QString defines = line.trimmed();
        if (!defines.isEmpty()) {
            write(Fragments::definesOpener);
            write(Fragments::defineList(defines));
            write(Fragments::listEnd);
            m_lastWasSource = false;
        }
        bare = withoutSpaces(line);
    }

    static const QString includeClose = QStringLiteral("</IncludePath>");
    if (bare.indexOf(includeClose) > 13) {
        line.remove(QStringLiteral("<IncludePath>"));
        line.remove(includeClose);
        const QString includes = line.trimmed();
        if (!includes.isEmpty())
            writeIncludes(includes);
        // Only the first entry of the list stays on the line for the FilePath test.
        const int semicolon = line.indexOf(QLatin1Char(';'));
        if (semicolon >= 0)
            line.truncate(semicolon);
        bare = withoutSpaces(line);
    }

    static const QString fileClose = QStringLiteral("</FilePath>");
    if (bare.indexOf(fileClose) > 10) {
        line.remove(fileClose);
        line.remove(QStringLiteral("<FilePath>"));
        const QString path = Fragments::cleanFilePath(line.trimmed());
        if (!path.isEmpty()) {
            // Every run of source entries gets its own opener: after another target's
            // DEFINES or HEADERS the entries would otherwise extend that list.
            if (!m_lastWasSource)
                write(Fragments::sourcesOpener);
            write(Fragments::fileEntry(path));
            m_lastWasSource = true;
        }
    }
}

void ProjectConverter::writeIncludes(const QString &includes)
{
    write(Fragments::includesOpener);
    write(includeBlock(includes));
    m_lastWasSource = false;
}

// The include list, the HEADERS opener and the header entries. Targets repeat the same
// list, and the assembler options often copy it, so each list is made once a run; lists
// far longer than real ones are not kept.
QByteArray ProjectConverter::includeBlock(const QString &includes)
{
    const auto cached = m_includeBlocks.constFind(includes);
    if (cached != m_includeBlocks.constEnd())
        return cached.value();
    QByteArray block = Fragments::includeList(includes);
    block += Fragments::headersOpener;
    block += m_headers.entries(includes);
    if (includes.size() <= maxCachedIncludeList)
        m_includeBlocks.insert(includes, block);
    return block;
}

void ProjectConverter::write(const char *text)
{
    m_buffer.append(text);
    if (m_buffer.size() >= flushSize)
        flush();
}

void ProjectConverter::write(const QByteArray &bytes)
{
    // The text of a long include list goes out directly rather than growing the buffer.
    if (size_t(bytes.size()) >= flushSize) {
        flush();
        if (!m_writeFailed && m_output->write(bytes) != bytes.size())
            m_writeFailed = true;
        return;
    }
    m_buffer.append(bytes.constData(), size_t(bytes.size()));
    if (m_buffer.size() >= flushSize)
        flush();
}

void ProjectConverter::flush()
{
    if (!m_writeFailed && !m_buffer.empty()) {
        const qint64 size = qint64(m_buffer.size());
        if (m_output->write(m_buffer.data(), size) != size)
            m_writeFailed = true;
    }
    m_buffer.clear();
}

} // namespace Corvane
