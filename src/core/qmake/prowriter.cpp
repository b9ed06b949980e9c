#include "qmake/prowriter.h"

#include "qmake/fragments.h"
#include "reading/projectvalues.h"

#include <algorithm>

namespace Corvane {

namespace {

constexpr size_t flushSize = 64 * 1024;
constexpr int maxCachedIncludeList = 64 * 1024;

} // namespace

ProWriter::ProWriter(QIODevice &output, HeaderScanner &headers)
    : m_output(output), m_headers(headers)
{}

void ProWriter::banner(const QDateTime &time)
{
    write(Fragments::banner(time));
}

void ProWriter::device(const QString &name)
{
    block(Fragments::deviceLead);
    write(Fragments::deviceValue(name));
}

void ProWriter::defines(const QString &list)
{
    values(Fragments::definesOpener, Fragments::defineList(list));
}

void ProWriter::includes(const QString &list)
{
    // The include list ends at the blank lines of the HEADERS opener that follows it.
    block(Fragments::includesOpener);
    write(includeBlock(list));
    m_open = OpenList::Files;
}

void ProWriter::source(const QString &path)
{
    // Every run of source entries gets its own opener: after another target's DEFINES or
    // HEADERS the entries would otherwise extend that list.
    if (m_open != OpenList::Sources)
        beginFiles(Fragments::sourcesOpener, OpenList::Sources);
    if (Fragments::isPlainAscii(path)) {
        // Most paths: Fragments::fileEntry's text, without converting it.
        const size_t at = m_buffer.size();
        m_buffer.resize(at + 1 + size_t(path.size()));
        m_buffer[at] = '\t';
        std::transform(path.cbegin(), path.cend(), m_buffer.begin() + qsizetype(at) + 1,
                       [](QChar c) { return char(c.unicode()); });
        write(" \\\r\n");
    } else {
        write(Fragments::fileEntry(path));
    }
}

void ProWriter::groupFile(FileList list, const QString &path)
{
    (list == FileList::Headers ? m_groupHeaders : m_distFiles).append(path);
}

void ProWriter::targetFilesEnd()
{
    const std::pair<const char *, QStringList *> lists[] = {
        {Fragments::groupHeadersOpener, &m_groupHeaders},
        {Fragments::distFilesOpener, &m_distFiles}};
    for (const auto &list : lists) {
        if (list.second->isEmpty())
            continue;
        beginFiles(list.first, OpenList::Files);
        for (const QString &path : qAsConst(*list.second))
            write(Fragments::fileEntry(path));
        list.second->clear();
    }
}

void ProWriter::addition(const QString &comment, const QStringList &defines,
                         const QStringList &includeFolders, const QStringList &packFolders,
                         const QStringList &headers, const QStringList &sources)
{
    block("\r\n# " + Fragments::commentText(comment).toUtf8() + "\r\n");
    if (!defines.isEmpty())
        values(Fragments::definesOpener, Fragments::valueList(defines));
    const QStringList folders = includeFolders + packFolders;
    if (!folders.isEmpty() || !headers.isEmpty()) {
        QStringList listed = headers;
        // Like an include list: the last folder's headers first.
        for (auto folder = includeFolders.crbegin(); folder != includeFolders.crend(); ++folder) {
            for (const QString &header : m_headers.headersOf(*folder)) {
                if (!listed.contains(header))
                    listed.append(header);
            }
        }
        if (!folders.isEmpty()) {
            block(Fragments::includesOpener);
            write(Fragments::valueList(folders));
        }
        beginFiles(Fragments::headersOpener, OpenList::Files);
        for (const QString &header : qAsConst(listed))
            write(Fragments::fileEntry(header));
    }
    for (const QString &path : sources)
        source(path);
    // A run of sources of their own: the target's next ones get an opener again.
    if (m_open == OpenList::Sources)
        m_open = OpenList::Files;
}

void ProWriter::codeModelDefines(const QStringList &defines)
{
    values(Fragments::keywordsOpener, Fragments::valueList(defines));
}

void ProWriter::linkedProgram(const QString &folder, const QString &name)
{
    block(Fragments::linkedProgram(folder, name));
}

void ProWriter::scopeDefault(const QString &target)
{
    closeList();
    block(Fragments::scopeDefault(target));
}

void ProWriter::targetNumbers(const QStringList &targets)
{
    write(Fragments::targetNumbers(targets));
}

void ProWriter::openScope(const QString &target)
{
    closeList();
    block(Fragments::scopeOpener(target));
}

// qmake ends a list at the scope's closing brace as at a blank line.
void ProWriter::closeScope()
{
    block(Fragments::scopeCloser);
}

void ProWriter::beginFiles(const char *opener, OpenList list)
{
    write(opener);
    m_open = list;
}

void ProWriter::values(const char *opener, const QByteArray &items)
{
    block(opener);
    write(items);
    write(Fragments::listEnd);
}

void ProWriter::block(const QByteArray &text)
{
    write(text);
    m_open = OpenList::None;
}

// A file list's entries each end in a continuation, and so does its last one: before a line
// qmake would read as one more entry (a scope line), an empty line ends the list. Every other
// block begins with one, or is a comment or the scope's brace.
void ProWriter::closeList()
{
    if (m_open != OpenList::None)
        write("\r\n");
    m_open = OpenList::None;
}

void ProWriter::targetCheck(const QStringList &targets)
{
    block(Fragments::targetCheck(targets));
}

void ProWriter::uvisionBuild(const UvisionBuild &build)
{
    block(build.block());
}

void ProWriter::closing()
{
    write(Fragments::closing);
    flush();
}

// The include list, the HEADERS opener and the header entries. Targets repeat the same
// list, and the assembler options often copy it, so each list is made once a run; lists
// far longer than real ones are not kept.
QByteArray ProWriter::includeBlock(const QString &includes)
{
    const auto cached = m_includeBlocks.constFind(includes);
    if (cached != m_includeBlocks.constEnd())
        return cached.value();
    const QStringList entries = includeEntries(includes);
    QByteArray block = Fragments::valueList(entries);
    block += Fragments::headersOpener;
    block += m_headers.entries(entries);
    if (includes.size() <= maxCachedIncludeList)
        m_includeBlocks.insert(includes, block);
    return block;
}

void ProWriter::write(const char *text)
{
    m_buffer.append(text);
    if (m_buffer.size() >= flushSize)
        flush();
}

void ProWriter::write(const QByteArray &bytes)
{
    // The text of a long include list goes out directly rather than growing the buffer.
    if (size_t(bytes.size()) >= flushSize) {
        flush();
        if (!m_failed && m_output.write(bytes) != bytes.size())
            m_failed = true;
        return;
    }
    m_buffer.append(bytes.constData(), size_t(bytes.size()));
    if (m_buffer.size() >= flushSize)
        flush();
}

void ProWriter::flush()
{
    if (!m_failed && !m_buffer.empty()) {
        const qint64 size = qint64(m_buffer.size());
        if (m_output.write(m_buffer.data(), size) != size)
            m_failed = true;
    }
    m_buffer.clear();
}

} // namespace Corvane
