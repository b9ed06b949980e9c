#include "qmake/prowriter.h"

#include "qmake/fragments.h"
#include "reading/projectvalues.h"

#include <algorithm>
#include <vector>

namespace Corvane {

namespace {

constexpr size_t flushSize = 64 * 1024;
constexpr int maxCachedIncludeList = 4 * 1024 * 1024;

// Whether no item but the empty one repeats: an open-addressing table of indices, no copies
// and no allocation per item, as a list holds thousands.
bool allDistinct(const std::vector<QStringView> &items)
{
    size_t size = 16;
    while (size < items.size() * 2)
        size *= 2;
    std::vector<int> table(size, -1);
    for (int i = 0; i < int(items.size()); ++i) {
        const QStringView item = items[size_t(i)];
        if (item.isEmpty())
            continue;
        for (size_t at = qHash(item) & (size - 1);; at = (at + 1) & (size - 1)) {
            if (table[at] < 0) {
                table[at] = i;
                break;
            }
            if (items[size_t(table[at])] == item)
                return false;
        }
    }
    return true;
}

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
    const List &parsed = parsedList(m_defineLists, list, defineViews);
    bool whole = false;
    const std::vector<QStringView> items = firstSeen(list, parsed, m_seen.defines, &whole);
    if (items.empty())
        return;
    if (!whole) {
        values(Fragments::definesOpener, Fragments::defineValues(items));
        return;
    }
    if (parsed.rendered.isNull())
        parsed.rendered = Fragments::defineValues(items);
    values(Fragments::definesOpener, parsed.rendered);
}

void ProWriter::includes(const QString &list)
{
    const List &parsed = parsedList(m_includeLists, list, includeEntryViews);
    bool whole = false;
    const std::vector<QStringView> entries = firstSeen(list, parsed, m_seen.includes, &whole);
    if (entries.empty())
        return;
    // The include list ends at the blank lines of the HEADERS opener that follows it.
    block(Fragments::includesOpener);
    write(includeBlock(whole ? list : QString(), entries));
    m_open = OpenList::Files;
}

void ProWriter::shareSeen()
{
    m_shared = m_seen;
}

// Vendor projects repeat their long lists in every target: each is split once a run, into
// views of its text with '/' separators.
const ProWriter::List &ProWriter::parsedList(QHash<QString, std::shared_ptr<List>> &lists,
                                             const QString &text,
                                             std::vector<QStringView> (*split)(QStringView))
{
    // Each list where it was made: the targets' records point to it.
    auto found = lists.find(text);
    if (found == lists.end()) {
        auto list = std::make_shared<List>();
        list->text = QString(text).replace(QLatin1Char('\\'), QLatin1Char('/'));
        list->items = split(list->text);
        list->unique = allDistinct(list->items);
        found = lists.insert(text, list);
    }
    return **found;
}

// The values of a list not written before in the target, or none when nothing of it is new.
// Empty items stay as the list has them: they name nothing. *whole: the list as it is, the
// target's first one without repeats; the items of the lists written are only looked at
// when a second list comes.
std::vector<QStringView> ProWriter::firstSeen(const QString &text, const List &list,
                                              SeenItems &seen, bool *whole)
{
    *whole = false;
    if (seen.lists.contains(text))
        return {};
    if (seen.lists.isEmpty() && list.unique) {
        seen.lists.insert(text);
        seen.pending.append(&list);
        *whole = true;
        return list.items;
    }
    for (const List *written : qAsConst(seen.pending)) {
        for (const QStringView item : written->items)
            seen.items.insert(item);
    }
    seen.pending.clear();
    seen.lists.insert(text);
    std::vector<QStringView> out;
    bool dropped = false;
    bool named = false;
    for (const QStringView item : list.items) {
        if (item.isEmpty()) {
            out.push_back(item);
        } else if (seen.items.contains(item)) {
            dropped = true;
        } else {
            seen.items.insert(item);
            out.push_back(item);
            named = true;
        }
    }
    return dropped && !named ? std::vector<QStringView>() : out;
}

QByteArray ProWriter::headerEntries(const QStringList &headers)
{
    mergePending(m_seen.headers);
    QByteArray out;
    for (const QString &header : headers) {
        if (!m_seen.headers.items.contains(header)) {
            m_seen.headers.items.insert(header);
            out += Fragments::fileEntry(header);
        }
    }
    return out;
}

// A target's first include block lists each header once already: its entries as made once
// a run, and its headers are only looked at when more come.
QByteArray ProWriter::headerEntries(const IncludeBlock &block)
{
    SeenHeaders &seen = m_seen.headers;
    if (seen.items.isEmpty() && seen.pending.isEmpty() && block.unique) {
        seen.pending.append(&block.headers);
        return block.entries;
    }
    return headerEntries(block.headers);
}

void ProWriter::mergePending(SeenHeaders &seen)
{
    for (const QStringList *headers : qAsConst(seen.pending)) {
        for (const QString &header : *headers)
            seen.items.insert(header);
    }
    seen.pending.clear();
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
        if (list.second == &m_groupHeaders) {
            write(headerEntries(*list.second));
        } else {
            for (const QString &path : qAsConst(*list.second))
                write(Fragments::fileEntry(path));
        }
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
        write(headerEntries(listed));
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
    // What a target's scope lists once counts from what every target has.
    m_seen = m_shared;
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
// `key`: the list's text when it is written whole, else empty (nothing is kept).
QByteArray ProWriter::includeBlock(const QString &key, const std::vector<QStringView> &views)
{
    auto cached = m_includeBlocks.constFind(key);
    if (key.isEmpty() || cached == m_includeBlocks.constEnd()) {
        QStringList entries;
        for (const QStringView entry : views)
            entries.append(entry.toString());
        auto block = std::make_shared<IncludeBlock>();
        block->values = Fragments::valueList(entries);
        block->values += Fragments::headersOpener;
        block->headers = m_headers.headers(entries);
        for (const QString &header : qAsConst(block->headers))
            block->entries += Fragments::fileEntry(header);
        block->unique = QSet<QString>(block->headers.cbegin(), block->headers.cend()).size() ==
                        block->headers.size();
        if (key.isEmpty() || key.size() > maxCachedIncludeList)
            return block->values + headerEntries(block->headers);
        cached = m_includeBlocks.insert(key, block);
    }
    return (*cached)->values + headerEntries(**cached);
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
