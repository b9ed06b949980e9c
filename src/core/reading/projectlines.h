#ifndef CORVANE_PROJECTLINES_H
#define CORVANE_PROJECTLINES_H

#include "reading/linereader.h"

#include <QHash>
#include <QIODevice>
#include <QString>
#include <QStringView>

#include <cstddef>
#include <vector>

namespace Corvane {

// A name the scanner looks for: an element's, a section's or a tag's.
struct ScannedName
{
    const char *text;
    qsizetype size;
};

template <std::size_t N> constexpr ScannedName scannedName(const char (&text)[N])
{
    return {text, qsizetype(N - 1)};
}

// A value between an element's tags, as the scanner found it: most are printable ASCII
// without blanks or markup (see isPlainValueByte), taken from the line's bytes as they are;
// the others decoded (character references, UTF-8).
class ScannedValue
{
public:
    static ScannedValue plain(const char *data, qsizetype size)
    {
        ScannedValue value;
        value.m_data = data;
        value.m_size = size;
        return value;
    }
    explicit ScannedValue(const QString *decoded = nullptr) : m_decoded(decoded) {}

    // The value, trimmed.
    QString text() const;
    // A plain value's bytes as they are in the file, which are its text; empty for the others.
    QByteArray plainBytes() const
    {
        return m_data ? QByteArray::fromRawData(m_data, int(m_size)) : QByteArray();
    }
    // A one-digit value ("0" ... "9"); -1 for anything else.
    int digit() const;
    bool isEmpty() const;

private:
    const char *m_data = nullptr; // a plain value
    qsizetype m_size = 0;
    const QString *m_decoded = nullptr; // the others, not trimmed
};

// What a pass over the project does with what is found on its lines, in document order.
class ProjectVisitor
{
public:
    virtual ~ProjectVisitor() = default;

    // A value of the element the scanner's elements[element] names.
    virtual void value(int element, const ScannedValue &value) = 0;
    // The opening or closing tag of the section the scanner's sections[section] names.
    virtual void section(int section, bool open);

    // Every tag on the lines that reach the tokenizer: attributes raw, as written inside the
    // tag. Only passes that need the markup (the RTE section) look at them.
    virtual void startTag(QStringView name, QStringView attributes, bool empty);
    virtual void endTag(QStringView name);

    // Whether every line must be tokenized, not only lines that may close an element of
    // interest (true while inside a section whose markup matters).
    virtual bool wantsEveryLine() const { return false; }

    // Whether to stop reading (a write failed).
    virtual bool stopped() const { return false; }
};

// Reads the project line by line, as uVision writes it: one element per line. A line that
// holds several elements (compact XML) gives them one after the other, each value being
// what lies between its own tags. An element whose opening tag is not on the line takes
// the text before its closing tag, when that is longer than the opening tag. A line ends
// at its first NUL byte. Lines that cannot close an element in `elements`, open or close a
// section in `sections`, nor open one of `markup` are not decoded at all.
class ProjectLineScanner
{
public:
    // Each name list is looked up through masks of one bit per name.
    static constexpr int maxNames = 64;

    // `elements`: whose values the pass wants; `sections`: elements whose opening and
    // closing tags it wants (<Cads>, </Cads>); `markup`: names of further elements whose
    // opening tag makes a line worth tokenizing (e.g. "RTE").
    ProjectLineScanner(std::vector<ScannedName> elements, std::vector<ScannedName> sections,
                       std::vector<ScannedName> markup = {});

    ReadOutcome scan(QIODevice &project, ProjectVisitor &visitor);

    // Tokenizes one decoded line and reports its values and tags. A comment the line leaves
    // open hides the lines up to its end.
    void scanLine(QStringView line, ProjectVisitor &visitor);

private:
    using Mask = quint64;
    static_assert(sizeof(Mask) * 8 == maxNames, "a bit per name");

    struct Names
    {
        std::vector<ScannedName> names;
        Mask first[256] = {}; // for each first byte, a bit for each name that starts with it
        void add(std::vector<ScannedName> list);
        int find(const char *name, qsizetype size) const;
        int find(QStringView name) const;
    };

    bool mayMatterAfter(const char *lt) const;
    bool tagMatters(const char *lt, const char *lineStart, const char *end) const;
    bool mayMatter(const char *data, qsizetype size) const;
    bool findCandidate(const char *p, const char *end, const char **lineStart) const;
    std::vector<int> candidateLines(const char *begin, const char *end) const;
    bool handleChunk(const QByteArray &lines, const std::vector<int> &candidates,
                     ProjectVisitor &visitor);
    // `matters`: a tag that matters was found on the line already.
    bool handleLine(const char *data, qsizetype size, ProjectVisitor &visitor,
                    bool matters = false);

    Names m_elements;
    Names m_sections;
    Names m_markup;
    // A bit for each pair of first bytes of the names whose closing tags matter (elements'
    // and sections'), and of those whose opening tags do (sections' and markup's); the same
    // for the short names alone, and for the longer a bit for their first five bytes (see
    // setStart()).
    quint64 m_closePairs[65536 / 64] = {};
    quint64 m_openPairs[65536 / 64] = {};
    quint64 m_closeShort[65536 / 64] = {};
    quint64 m_openShort[65536 / 64] = {};
    quint64 m_closeStarts[65536 / 64] = {};
    quint64 m_openStarts[65536 / 64] = {};
    bool m_inComment = false; // a "<!--" of an earlier line is not closed yet
};

// XML character references (&#NN; &#xHH;) and the predefined entities (&amp; &lt; &gt;
// &quot; &apos;) decoded; anything else, malformed references included, stays as it is.
QString decodeXmlText(QStringView text);

// The attributes in the raw attribute text of a tag, values decoded. Parsing stops at the
// first malformed attribute.
QHash<QString, QString> parseAttributes(QStringView attributes);

} // namespace Corvane

#endif
