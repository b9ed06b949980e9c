#ifndef CORVANE_PROJECTLINES_H
#define CORVANE_PROJECTLINES_H

#include "reading/linereader.h"

#include <QHash>
#include <QIODevice>
#include <QString>
#include <QStringView>

#include <vector>

namespace Corvane {

// The elements of a uVision project or workspace that carry a value the converter uses.
enum class Element {
    None,
    Device,
    Define,
    IncludePath,
    FilePath,
    TargetName,
    ToolsetName,
    PackID,
    RegisterFile,
    RegisterFilePath,
    uAC6,
    Cpu,
    Instance, // <instance> of an RTE file
    GroupName,
    FileType,
    IncludeInBuild,
    MiscControls,    // a compiler's own options (<Cads>: the C compiler's)
    uC99,            // Arm Compiler 5's C99 mode
    v6Lang,          // Arm Compiler 6's C language
    SwStkChk,        // an assembler's option: its <Aads> has begun
    PathAndName,     // a member of a multi-project workspace
    NodeIsActive,    // the workspace's active member
    OutputDirectory, // where the target's objects and image go
};

// What a pass over the project does with what is found on its lines, in document order.
class ProjectVisitor
{
public:
    virtual ~ProjectVisitor() = default;

    // An element of interest and its value (character references decoded, not trimmed).
    virtual void value(Element element, const QString &text) = 0;
    // The same for a value of printable ASCII without blanks, markup or characters that
    // need care in qmake syntax: it needs no decoding. By default handed on to value().
    virtual void plainValue(Element element, const char *data, qsizetype size);

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

// A name the scanner looks for: an element's or a tag's.
struct ScannedName
{
    const char *text;
    qsizetype size;
};

// Reads the project line by line, as uVision writes it: one element per line. A line that
// holds several elements (compact XML) gives them one after the other, each value being
// what lies between its own tags. An element whose opening tag is not on the line takes
// the text before its closing tag, when that is longer than the opening tag. A line ends
// at its first NUL byte. Lines that cannot close an element in `elements` (nor open one of
// `tags`) are not decoded at all.
class ProjectLineScanner
{
public:
    // `elements`: the value elements the pass wants; `tags`: names of further elements whose
    // opening tag makes a line worth tokenizing (e.g. "RTE").
    ProjectLineScanner(std::initializer_list<Element> elements,
                       std::initializer_list<const char *> tags = {});

    ReadOutcome scan(QIODevice &project, ProjectVisitor &visitor);

    // Tokenizes one decoded line and reports its values and tags. A comment the line leaves
    // open hides the lines up to its end.
    void scanLine(QStringView line, ProjectVisitor &visitor);

private:
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

    quint32 m_elements = 0;           // bit per Element
    std::vector<ScannedName> m_names; // of the elements wanted
    std::vector<ScannedName> m_tags;
    // Whether a closing (opening) tag starting with this byte can matter: for each first byte,
    // a bit for each name (tag) that starts with it.
    quint32 m_closeFirst[256] = {};
    quint32 m_openFirst[256] = {};
    // A bit for each pair of first bytes of the names: most closing tags of a project start
    // with a letter that some name starts with.
    quint64 m_closePairs[65536 / 64] = {};
    bool m_inComment = false; // a "<!--" of an earlier line is not closed yet
};

// The element a tag name stands for, Element::None for any other.
Element elementNamed(QStringView name);
const char *elementName(Element element);

// XML character references (&#NN; &#xHH;) and the predefined entities (&amp; &lt; &gt;
// &quot; &apos;) decoded; anything else, malformed references included, stays as it is.
QString decodeXmlText(QStringView text);

// The attributes in the raw attribute text of a tag, values decoded. Parsing stops at the
// first malformed attribute.
QHash<QString, QString> parseAttributes(QStringView attributes);

} // namespace Corvane

#endif
