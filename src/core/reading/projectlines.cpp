#include "reading/projectlines.h"

#include <QtAlgorithms>
#include <QtEndian>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <iterator>
#include <mutex>
#include <thread>
#include <vector>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define CORVANE_SSE2 1
#endif

namespace Corvane {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

const char *skipBlanks(const char *p, const char *end)
{
    // uVision indents with two spaces a level, and a file's C options sit a dozen levels
    // deep: eight spaces at a time first.
    constexpr quint64 eightSpaces = 0x2020202020202020ull;
    for (quint64 word; end - p >= 8; p += 8) {
        std::memcpy(&word, p, sizeof word);
        if (const quint64 other = qFromLittleEndian(word) ^ eightSpaces) {
            p += qCountTrailingZeroBits(other) / 8; // the first byte that is not a space
            break;
        }
    }
    while (p < end && isBlank(*p))
        ++p;
    return p;
}

bool isNameByte(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' ||
           u == '-' || u == '.' || u == ':' || u >= 0x80;
}

bool isNameChar(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' ||
           u == '-' || u == '.' || u == ':' || u >= 0x80;
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Characters of a plain value: printable ASCII without blanks, markup, or anything qmake
// would not take literally. A table: every byte of a value that matters is looked up.
constexpr char notPlain[] = {'<', '&', '$', '#', '{', '}', '"', '\''};
struct PlainValueBytes
{
    bool plain[256] = {};
    constexpr PlainValueBytes()
    {
        for (int c = '!'; c < 0x7f; ++c)
            plain[c] = true;
        for (const char c : notPlain)
            plain[static_cast<unsigned char>(c)] = false;
    }
};
constexpr PlainValueBytes plainValueBytes;

bool isPlainValueByte(unsigned char c)
{
    return plainValueBytes.plain[c];
}

bool isPlainValue(const char *v, const char *end)
{
#ifdef CORVANE_SSE2
    // Vendor lists are values of hundreds of kilobytes: sixteen bytes at a time, each
    // compared with the bounds and with every byte of notPlain, all held in registers. As
    // signed bytes, those from 0x80 up are below '!'.
    static_assert(std::size(notPlain) == 8, "one comparison below for each");
    const __m128i low = _mm_set1_epi8('!');
    const __m128i high = _mm_set1_epi8('~');
    const __m128i n0 = _mm_set1_epi8(notPlain[0]), n1 = _mm_set1_epi8(notPlain[1]),
                  n2 = _mm_set1_epi8(notPlain[2]), n3 = _mm_set1_epi8(notPlain[3]),
                  n4 = _mm_set1_epi8(notPlain[4]), n5 = _mm_set1_epi8(notPlain[5]),
                  n6 = _mm_set1_epi8(notPlain[6]), n7 = _mm_set1_epi8(notPlain[7]);
    for (; end - v >= 16; v += 16) {
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i *>(v));
        const __m128i outside = _mm_or_si128(_mm_cmplt_epi8(c, low), _mm_cmpgt_epi8(c, high));
        const __m128i a = _mm_or_si128(_mm_cmpeq_epi8(c, n0), _mm_cmpeq_epi8(c, n1));
        const __m128i b = _mm_or_si128(_mm_cmpeq_epi8(c, n2), _mm_cmpeq_epi8(c, n3));
        const __m128i d = _mm_or_si128(_mm_cmpeq_epi8(c, n4), _mm_cmpeq_epi8(c, n5));
        const __m128i e = _mm_or_si128(_mm_cmpeq_epi8(c, n6), _mm_cmpeq_epi8(c, n7));
        const __m128i other =
            _mm_or_si128(outside, _mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(d, e)));
        if (_mm_movemask_epi8(other) != 0)
            return false;
    }
#endif
    // Without a branch per byte: most values are paths of dozens of them.
    bool plain = true;
    for (; v < end; ++v)
        plain &= isPlainValueByte(static_cast<unsigned char>(*v));
    return plain;
}

// Most lines that matter hold one element and nothing else, indented with spaces, with a
// plain value (see isPlainValueByte) or none:
//     <FilePath>..\\Src\\main.c</FilePath>
// Gives the element's name and its value for a line of that shape, false for any other.
bool plainElement(const char *data, qsizetype size, ScannedName *element, const char **value,
                  qsizetype *valueSize)
{
    const char *const end = data + size;
    const char *const open = skipBlanks(data, end);
    if (end - open < 2 || *open != '<')
        return false;
    const char *const name = open + 1;
    const auto *nameEnd = static_cast<const char *>(std::memchr(name, '>', size_t(end - name)));
    if (!nameEnd)
        return false;
    const qsizetype nameSize = nameEnd - name;
    const char *const valueStart = nameEnd + 1;
    const auto *valueEnd =
        static_cast<const char *>(std::memchr(valueStart, '<', size_t(end - valueStart)));
    if (!valueEnd)
        return false;
    if (!isPlainValue(valueStart, valueEnd))
        return false;
    // The closing tag of the same element ends the line.
    if (end - valueEnd != nameSize + 3 || valueEnd[1] != '/' ||
        std::memcmp(valueEnd + 2, name, size_t(nameSize)) != 0 || end[-1] != '>')
        return false;
    *element = {name, nameSize};
    *value = valueStart;
    *valueSize = valueEnd - valueStart;
    return true;
}

// A line that holds one opening or closing tag and nothing else but blanks, without
// attributes; gives its name and whether it opens.
bool loneTag(const char *data, qsizetype size, ScannedName *name, bool *open)
{
    const char *end = data + size;
    const char *p = skipBlanks(data, end);
    while (end > p && isBlank(end[-1]))
        --end;
    if (end - p < 3 || *p != '<' || end[-1] != '>')
        return false;
    ++p;
    *open = *p != '/';
    if (!*open)
        ++p;
    const char *const nameStart = p;
    while (p < end - 1 && isNameByte(*p))
        ++p;
    if (p != end - 1 || p == nameStart)
        return false;
    *name = {nameStart, p - nameStart};
    return true;
}

struct Tag
{
    enum Kind { Invalid, Start, End, Empty, Other, OpenComment } kind = Invalid;
    QStringView name;
    QStringView attributes;
    qsizetype end = 0; // just past the '>'
};

// The tag that starts at line[at] == '<'.
Tag parseTag(QStringView line, qsizetype at)
{
    Tag tag;
    const qsizetype n = line.size();
    qsizetype i = at + 1;
    while (i < n && isBlank(line[i]))
        ++i;
    if (i < n && (line[i] == QLatin1Char('?') || line[i] == QLatin1Char('!'))) {
        // A declaration, processing instruction or comment: markup, but no element.
        const bool comment = line.mid(i).startsWith(QLatin1String("!--"));
        const qsizetype close =
            comment ? line.indexOf(QLatin1String("-->"), i + 3) : line.indexOf(QLatin1Char('>'), i);
        if (close < 0) {
            if (comment)
                tag.kind = Tag::OpenComment; // it goes on over the next lines
            return tag;
        }
        tag.kind = Tag::Other;
        tag.end = close + (comment ? 3 : 1);
        return tag;
    }
    const bool closing = i < n && line[i] == QLatin1Char('/');
    if (closing) {
        ++i;
        while (i < n && isBlank(line[i]))
            ++i;
    }
    const qsizetype nameStart = i;
    while (i < n && isNameChar(line[i]))
        ++i;
    if (i == nameStart || line[nameStart].isDigit() || line[nameStart] == QLatin1Char('-') ||
        line[nameStart] == QLatin1Char('.'))
        return tag;
    tag.name = line.mid(nameStart, i - nameStart);
    if (closing) {
        while (i < n && isBlank(line[i]))
            ++i;
        if (i >= n || line[i] != QLatin1Char('>'))
            return tag;
        tag.kind = Tag::End;
        tag.end = i + 1;
        return tag;
    }
    if (i < n && !isBlank(line[i]) && line[i] != QLatin1Char('/') && line[i] != QLatin1Char('>'))
        return tag;
    const qsizetype attributesStart = i;
    for (; i < n; ++i) {
        const QChar c = line[i];
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const qsizetype close = line.indexOf(c, i + 1);
            if (close < 0)
                return tag;
            i = close;
        } else if (c == QLatin1Char('<')) {
            return tag;
        } else if (c == QLatin1Char('>')) {
            break;
        }
    }
    if (i >= n)
        return tag;
    QStringView attributes = line.mid(attributesStart, i - attributesStart).trimmed();
    tag.kind = Tag::Start;
    if (attributes.endsWith(QLatin1Char('/'))) {
        tag.kind = Tag::Empty;
        attributes.chop(1);
    }
    tag.attributes = attributes;
    tag.end = i + 1;
    return tag;
}

qsizetype nonSpaceLength(QStringView text)
{
    qsizetype length = 0;
    for (const QChar c : text)
        length += c != QLatin1Char(' ');
    return length;
}

bool isXmlChar(uint c)
{
    return c == 0x9 || c == 0xa || c == 0xd || (c >= 0x20 && c <= 0xd7ff) ||
           (c >= 0xe000 && c <= 0xfffd) || (c >= 0x10000 && c <= 0x10ffff);
}

} // namespace

void ProjectVisitor::section(int, bool) {}

void ProjectVisitor::startTag(QStringView, QStringView, bool) {}

void ProjectVisitor::endTag(QStringView) {}

QString ScannedValue::text() const
{
    return m_data      ? QString::fromLatin1(m_data, int(m_size))
           : m_decoded ? m_decoded->trimmed()
                       : QString();
}

int ScannedValue::digit() const
{
    if (m_data)
        return m_size == 1 && m_data[0] >= '0' && m_data[0] <= '9' ? m_data[0] - '0' : -1;
    const QString value = text();
    return value.size() == 1 && value.at(0) >= QLatin1Char('0') && value.at(0) <= QLatin1Char('9')
               ? value.at(0).unicode() - '0'
               : -1;
}

bool ScannedValue::isEmpty() const
{
    return m_data ? m_size == 0 : text().isEmpty();
}

QString decodeXmlText(QStringView text)
{
    qsizetype amp = text.indexOf(QLatin1Char('&'));
    if (amp < 0)
        return text.toString();
    QString out;
    out.reserve(text.size());
    qsizetype done = 0;
    for (; amp >= 0; amp = text.indexOf(QLatin1Char('&'), amp + 1)) {
        const qsizetype semicolon = text.indexOf(QLatin1Char(';'), amp + 1);
        if (semicolon < 0)
            break;
        const QStringView name = text.mid(amp + 1, semicolon - amp - 1);
        QString decoded;
        if (name == QLatin1String("amp")) {
            decoded = QStringLiteral("&");
        } else if (name == QLatin1String("lt")) {
            decoded = QStringLiteral("<");
        } else if (name == QLatin1String("gt")) {
            decoded = QStringLiteral(">");
        } else if (name == QLatin1String("quot")) {
            decoded = QStringLiteral("\"");
        } else if (name == QLatin1String("apos")) {
            decoded = QStringLiteral("'");
        } else if (name.size() > 1 && name.size() <= 9 && name[0] == QLatin1Char('#')) {
            const bool hex = name[1] == QLatin1Char('x');
            const QStringView digits = name.mid(hex ? 2 : 1);
            bool ok = !digits.isEmpty();
            const uint code = ok ? digits.toString().toUInt(&ok, hex ? 16 : 10) : 0;
            // toUInt() would also take blanks and signs.
            for (const QChar c : digits)
                ok = ok && c.unicode() < 0x80 && (c.isDigit() || (hex && c.isLetter()));
            if (ok && isXmlChar(code)) {
                if (QChar::requiresSurrogates(code))
                    decoded = QString(QChar(QChar::highSurrogate(code))) +
                              QChar(QChar::lowSurrogate(code));
                else
                    decoded = QString(QChar(char16_t(code)));
            }
        }
        if (decoded.isNull())
            continue;
        out += text.mid(done, amp - done);
        out += decoded;
        done = semicolon + 1;
        amp = semicolon;
    }
    out += text.mid(done);
    return out;
}

QHash<QString, QString> parseAttributes(QStringView attributes)
{
    QHash<QString, QString> result;
    const qsizetype n = attributes.size();
    qsizetype i = 0;
    for (;;) {
        while (i < n && attributes[i].isSpace())
            ++i;
        const qsizetype nameStart = i;
        while (i < n && isNameChar(attributes[i]))
            ++i;
        const QStringView name = attributes.mid(nameStart, i - nameStart);
        while (i < n && attributes[i].isSpace())
            ++i;
        if (name.isEmpty() || i >= n || attributes[i] != QLatin1Char('='))
            return result;
        ++i;
        while (i < n && attributes[i].isSpace())
            ++i;
        if (i >= n || (attributes[i] != QLatin1Char('"') && attributes[i] != QLatin1Char('\'')))
            return result;
        const qsizetype close = attributes.indexOf(attributes[i], i + 1);
        if (close < 0)
            return result;
        result.insert(name.toString(), decodeXmlText(attributes.mid(i + 1, close - i - 1)));
        i = close + 1;
    }
}

namespace {

// How long a name's start is that the quick look takes: most tags of a project share their
// first letters with a name looked for (<FileName>, <FilePath>), few their first five.
constexpr qsizetype lookedAt = 5;

// The first five bytes of a name, mixed into the index of a bit.
inline unsigned startHash(const char *p)
{
    quint32 word;
    std::memcpy(&word, p, 4);
    return ((word * 0x9E3779B1u) ^ (static_cast<unsigned char>(p[4]) * 0x85EBCA6Bu)) >> 16;
}

inline unsigned pairOf(const char *p)
{
    return unsigned(static_cast<unsigned char>(p[0])) << 8 | static_cast<unsigned char>(p[1]);
}

// A name as the quick look finds it: by its first two bytes, and when it is five or longer
// by its first five as well; `pairs` has the pairs of every name, `shortPairs` those of the
// shorter names.
void setStart(quint64 *pairs, quint64 *shortPairs, quint64 *starts, const ScannedName &name)
{
    const unsigned pair = pairOf(name.text);
    pairs[pair / 64] |= quint64(1) << (pair % 64);
    const unsigned bit = name.size < lookedAt ? pair : startHash(name.text);
    (name.size < lookedAt ? shortPairs : starts)[bit / 64] |= quint64(1) << (bit % 64);
}

inline bool isSet(const quint64 *bits, unsigned bit)
{
    return bits[bit / 64] >> (bit % 64) & 1;
}

} // namespace

void ProjectLineScanner::Names::add(std::vector<ScannedName> list)
{
    Q_ASSERT(list.size() <= size_t(maxNames));
    for (const ScannedName &name : list)
        Q_ASSERT(name.size >= 2);
    names = std::move(list);
    for (size_t i = 0; i < names.size(); ++i)
        first[static_cast<unsigned char>(names[i].text[0])] |= Mask(1) << i;
}

int ProjectLineScanner::Names::find(const char *name, qsizetype size) const
{
    for (Mask candidates = first[static_cast<unsigned char>(name[0])]; candidates;
         candidates &= candidates - 1) {
        const int i = qCountTrailingZeroBits(candidates);
        if (names[size_t(i)].size == size &&
            std::memcmp(names[size_t(i)].text, name, size_t(size)) == 0)
            return i;
    }
    return -1;
}

int ProjectLineScanner::Names::find(QStringView name) const
{
    if (name.isEmpty() || name.at(0).unicode() >= 0x80)
        return -1;
    for (Mask candidates = first[name.at(0).unicode()]; candidates; candidates &= candidates - 1) {
        const int i = qCountTrailingZeroBits(candidates);
        if (name == QLatin1String(names[size_t(i)].text, int(names[size_t(i)].size)))
            return i;
    }
    return -1;
}

ProjectLineScanner::ProjectLineScanner(std::vector<ScannedName> elements,
                                       std::vector<ScannedName> sections,
                                       std::vector<ScannedName> markup)
{
    m_elements.add(std::move(elements));
    m_sections.add(std::move(sections));
    m_markup.add(std::move(markup));
    for (const ScannedName &name : m_elements.names)
        setStart(m_closePairs, m_closeShort, m_closeStarts, name);
    for (const ScannedName &name : m_sections.names) {
        setStart(m_closePairs, m_closeShort, m_closeStarts, name);
        setStart(m_openPairs, m_openShort, m_openStarts, name);
    }
    for (const ScannedName &name : m_markup.names)
        setStart(m_openPairs, m_openShort, m_openStarts, name);
    // A comment may hide elements on the lines below it.
    setStart(m_openPairs, m_openShort, m_openStarts, scannedName("!-"));
}

namespace {

// Does [p, end) start with one of the names, followed by the end of a tag name? `candidates`
// has a bit for each name that starts with *p.
bool startsWithName(const char *p, const char *end, const std::vector<ScannedName> &names,
                    quint64 candidates)
{
    for (; candidates; candidates &= candidates - 1) {
        const ScannedName &name = names[qCountTrailingZeroBits(candidates)];
        if (end - p > name.size && !isNameByte(p[name.size]) &&
            std::memcmp(p, name.text, size_t(name.size)) == 0)
            return true;
    }
    return false;
}

} // namespace

namespace {

// Lines of a project and the lines of it worth handling, from the thread that reads to the
// one that handles them.
struct LineChunk
{
    QByteArray lines;            // each ending in "\n"
    std::vector<int> candidates; // where the lines with a tag that matters start
};

class ChunkQueue
{
public:
    // Waits while the queue is full; false once the reading is cancelled.
    bool push(LineChunk &&chunk)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_notFull.wait(lock, [this] { return m_chunks.size() < capacity || m_cancelled; });
        if (m_cancelled)
            return false;
        m_chunks.push_back(std::move(chunk));
        m_notEmpty.notify_one();
        return true;
    }

    // A buffer handled before, to be filled again; an empty one when there is none.
    QByteArray spare()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_spares.empty())
            return QByteArray();
        QByteArray buffer = std::move(m_spares.back());
        m_spares.pop_back();
        return buffer;
    }

    void recycle(QByteArray &&buffer)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_spares.push_back(std::move(buffer));
    }

    // Waits for the next chunk; false once there is none and no more will come.
    bool pop(LineChunk *chunk)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_notEmpty.wait(lock, [this] { return !m_chunks.empty() || m_finished; });
        if (m_chunks.empty())
            return false;
        *chunk = std::move(m_chunks.front());
        m_chunks.pop_front();
        m_notFull.notify_one();
        return true;
    }

    void finish()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_finished = true;
        m_notEmpty.notify_one();
    }

    void cancel()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_cancelled = true;
        m_notFull.notify_one();
    }

private:
    static constexpr size_t capacity = 4;
    std::mutex m_mutex;
    std::condition_variable m_notFull;
    std::condition_variable m_notEmpty;
    std::deque<LineChunk> m_chunks;
    std::vector<QByteArray> m_spares;
    bool m_finished = false;
    bool m_cancelled = false;
};

} // namespace

// The project is read in chunks of lines, and most of its lines are never looked at one by
// one: a quick search for tags that may matter finds the few lines worth handling. That
// search needs no state, so one thread reads and searches while this one handles the lines
// found, in order.
ReadOutcome ProjectLineScanner::scan(QIODevice &project, ProjectVisitor &visitor)
{
    m_inComment = false;
    const auto candidates = [this](const QByteArray &lines) {
        return candidateLines(lines.constData(), lines.constData() + lines.size());
    };
    // A project of a few blocks is read in less time than a thread takes to start.
    constexpr qint64 alone = 1024 * 1024;
    if (!project.isSequential() && project.size() - project.pos() <= alone) {
        return forEachLineChunk(project, [this, &visitor, &candidates](const QByteArray &lines) {
            return handleChunk(lines, candidates(lines), visitor);
        });
    }
    ChunkQueue queue;
    ReadOutcome read = ReadOutcome::EndOfInput;
    std::thread reader([&project, &queue, &read, &candidates] {
        read = forEachLineChunk(
            project,
            [&queue, &candidates](QByteArray lines) {
                LineChunk chunk;
                chunk.candidates = candidates(lines);
                chunk.lines = std::move(lines);
                return queue.push(std::move(chunk));
            },
            [&queue] { return queue.spare(); });
        queue.finish();
    });
    LineChunk chunk;
    bool stopped = false;
    while (!stopped && queue.pop(&chunk)) {
        stopped = !handleChunk(chunk.lines, chunk.candidates, visitor);
        queue.recycle(std::move(chunk.lines));
    }
    if (stopped)
        queue.cancel();
    reader.join();
    return stopped ? ReadOutcome::Stopped : read;
}

// The starts of the lines in [begin, end) with a tag that matters, each line ending in "\n".
std::vector<int> ProjectLineScanner::candidateLines(const char *begin, const char *end) const
{
    std::vector<int> lines;
    const char *lineStart = nullptr;
    for (const char *p = begin; p < end && findCandidate(p, end, &lineStart);) {
        lines.push_back(int(lineStart - begin));
        p = static_cast<const char *>(std::memchr(lineStart, '\n', size_t(end - lineStart))) + 1;
    }
    return lines;
}

// The lines of a chunk that matter, in order: the candidates, and every line while inside a
// comment or a section whose markup the visitor wants.
bool ProjectLineScanner::handleChunk(const QByteArray &lines, const std::vector<int> &candidates,
                                     ProjectVisitor &visitor)
{
    const char *const begin = lines.constData();
    const char *const end = begin + lines.size();
    auto next = candidates.cbegin();
    for (const char *p = begin; p < end;) {
        const char *lineStart = p;
        const bool everyLine = visitor.wantsEveryLine() || m_inComment;
        if (!everyLine) {
            while (next != candidates.cend() && begin + *next < p)
                ++next;
            if (next == candidates.cend())
                return true;
            lineStart = begin + *next;
        }
        const auto *newline =
            static_cast<const char *>(std::memchr(lineStart, '\n', size_t(end - lineStart)));
        if (!handleLine(lineStart, newline - lineStart, visitor, !everyLine))
            return false;
        p = newline + 1;
    }
    return true;
}

// Does the tag at lt (a '<') matter to this scanner: the closing tag of a wanted element that
// has text before it, or the opening tag of one of the tags asked for? The text from `from`
// to lt may be read (at least the start of lt's line).
bool ProjectLineScanner::tagMatters(const char *lt, const char *from, const char *end) const
{
    // Blanks inside a tag are rare: the word-wise skip only when there are some.
    const auto skipInTag = [end](const char *q) {
        return q < end && isBlank(*q) ? skipBlanks(q, end) : q;
    };
    const char *q = skipInTag(lt + 1);
    if (q == end)
        return false;
    if (*q == '!')
        return end - q >= 3 && q[1] == '-' && q[2] == '-';
    if (*q != '/')
        return startsWithName(q, end, m_sections.names,
                              m_sections.first[static_cast<unsigned char>(*q)]) ||
               startsWithName(q, end, m_markup.names,
                              m_markup.first[static_cast<unsigned char>(*q)]);
    q = skipInTag(q + 1);
    if (q == end)
        return false;
    if (startsWithName(q, end, m_sections.names, m_sections.first[static_cast<unsigned char>(*q)]))
        return true;
    // <Define></Define> is empty: it writes nothing. Nor does a closing tag with nothing but
    // blanks before it on its line, such as the </Cpu> of a value on the lines above.
    const char *before = lt;
    while (before > from && isBlank(before[-1]))
        --before;
    if (before == from || before[-1] == '\n' || (before == lt && before[-1] == '>'))
        return false;
    return startsWithName(q, end, m_elements.names,
                          m_elements.first[static_cast<unsigned char>(*q)]);
}

// A quick look at the six bytes after a '<', which must be there: most tags are ruled out
// by their first two bytes or by their first five (see setStart()).
inline bool ProjectLineScanner::mayMatterAfter(const char *lt) const
{
    const bool closing = lt[1] == '/';
    const char *const name = lt + 1 + int(closing);
    if (isBlank(*name))
        return true;
    const unsigned pair = pairOf(name);
    if (!isSet(closing ? m_closePairs : m_openPairs, pair))
        return false;
    return isSet(closing ? m_closeShort : m_openShort, pair) ||
           isSet(closing ? m_closeStarts : m_openStarts, startHash(name));
}

// Finds the first line in [p, end) (p at a line's start) with a tag that matters; gives
// the start of that line.
bool ProjectLineScanner::findCandidate(const char *p, const char *end, const char **lineStart) const
{
    // Only the '<' are looked at; the start of a line is looked for once it matters.
    const char *const from = p;
    const auto found = [from, lineStart](const char *at) {
        const char *const newline = lastNewline(from, at);
        *lineStart = newline ? newline + 1 : from;
        return true;
    };
#ifdef CORVANE_SSE2
    // Up to the last 22 bytes, so that the six bytes after each '<' of a block are there.
    const __m128i lt = _mm_set1_epi8('<');
    for (; end - p >= 22; p += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        for (auto mask = uint(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, lt))); mask;
             mask &= mask - 1) {
            const char *const at = p + qCountTrailingZeroBits(mask);
            if (mayMatterAfter(at) && tagMatters(at, from, end))
                return found(at);
        }
    }
#endif
    for (; p < end; ++p) {
        if (*p == '<' && tagMatters(p, from, end))
            return found(p);
    }
    return false;
}

bool ProjectLineScanner::mayMatter(const char *data, qsizetype size) const
{
    const char *const end = data + size;
    for (const char *p = data; p < end; ++p) {
        p = static_cast<const char *>(std::memchr(p, '<', size_t(end - p)));
        if (!p)
            return false;
        if (tagMatters(p, data, end))
            return true;
    }
    return false;
}

bool ProjectLineScanner::handleLine(const char *data, qsizetype size, ProjectVisitor &visitor,
                                    bool matters)
{
    if (size > 0 && data[size - 1] == '\r')
        --size;
    if (m_inComment) {
        // Up to a NUL byte, as below.
        const auto *nul = static_cast<const char *>(std::memchr(data, '\0', size_t(size)));
        const char *const lineEnd = nul ? nul : data + size;
        static const char close[] = "-->";
        const char *const found = std::search(data, lineEnd, close, close + 3);
        if (found == lineEnd)
            return true;
        m_inComment = false;
        size -= found + 3 - data;
        data = found + 3;
        matters = false;
    }
    const bool everyLine = visitor.wantsEveryLine();
    if (!everyLine && !matters && !mayMatter(data, size))
        return true;
    // Like a C string, the line ends at a NUL byte.
    if (const void *nul = std::memchr(data, '\0', size_t(size))) {
        size = static_cast<const char *>(nul) - data;
        if (!everyLine && !mayMatter(data, size))
            return true;
    }
    ScannedName name = {};
    const char *value = nullptr;
    qsizetype valueSize = 0;
    // Both shapes below start after the indentation.
    const char *const text = skipBlanks(data, data + size);
    const qsizetype textSize = data + size - text;
    if (!everyLine && plainElement(text, textSize, &name, &value, &valueSize)) {
        const int element = m_elements.find(name.text, name.size);
        if (element >= 0) {
            if (valueSize > 0)
                visitor.value(element, ScannedValue::plain(value, valueSize));
            return !visitor.stopped();
        }
    }
    // A section's tag alone on its line, as uVision writes them: "<Cads>", "</Cads>".
    bool open = false;
    if (!everyLine && loneTag(text, textSize, &name, &open)) {
        const int section = m_sections.find(name.text, name.size);
        if (section >= 0 && m_markup.find(name.text, name.size) < 0) {
            visitor.section(section, open);
            return !visitor.stopped();
        }
    }
    scanLine(QString::fromUtf8(data, int(size)), visitor);
    return !visitor.stopped();
}

void ProjectLineScanner::scanLine(QStringView line, ProjectVisitor &visitor)
{
    Tag previous; // the tag before the current run of text; Invalid at the line's start
    qsizetype textStart = 0;
    for (qsizetype at = line.indexOf(QLatin1Char('<')); at >= 0;
         at = line.indexOf(QLatin1Char('<'), at)) {
        const Tag tag = parseTag(line, at);
        if (tag.kind == Tag::OpenComment) {
            m_inComment = true;
            return;
        }
        if (tag.kind == Tag::Invalid) {
            ++at; // a '<' that opens no tag is text
            continue;
        }
        const QStringView text = line.mid(textStart, at - textStart);
        switch (tag.kind) {
        case Tag::End: {
            const int element = m_elements.find(tag.name);
            if (element >= 0) {
                const bool opened = previous.kind == Tag::Start && previous.name == tag.name;
                // Without its opening tag on the line, the text before the closing tag is
                // the value only when it is longer than that tag would be.
                if (opened || nonSpaceLength(text) > tag.name.size() + 2) {
                    const QString decoded = decodeXmlText(text);
                    const ScannedValue value(&decoded);
                    if (!value.isEmpty())
                        visitor.value(element, value);
                }
            }
            const int section = m_sections.find(tag.name);
            if (section >= 0)
                visitor.section(section, false);
            visitor.endTag(tag.name);
            break;
        }
        case Tag::Start: {
            const int section = m_sections.find(tag.name);
            if (section >= 0)
                visitor.section(section, true);
            visitor.startTag(tag.name, tag.attributes, false);
            break;
        }
        case Tag::Empty:
            visitor.startTag(tag.name, tag.attributes, true);
            break;
        case Tag::Other:
        case Tag::Invalid:
        case Tag::OpenComment:
            break;
        }
        previous = tag;
        at = textStart = tag.end;
    }
}

} // namespace Corvane
