#ifndef CORVANE_PROWRITER_H
#define CORVANE_PROWRITER_H

#include "model/target.h"
#include "qmake/headerscan.h"
#include "qmake/uvisionbuild.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QIODevice>
#include <QSet>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

namespace Corvane {

// Writes the .pro: each call renders one fragment (see Fragments) from values as the
// project holds them. Output is buffered and goes to the device in large pieces; after a
// failed write nothing more is written and failed() tells.
class ProWriter
{
public:
    // Include folders are listed for headers through `headers`.
    ProWriter(QIODevice &output, HeaderScanner &headers);

    void banner(const QDateTime &time);
    void device(const QString &name);
    void defines(const QString &list);  // a uVision define list
    void includes(const QString &list); // a uVision include list, then its HEADERS
    void source(const QString &path);
    // A file of the target's groups that goes to HEADERS or DISTFILES: kept until
    // targetFilesEnd(), so that the run of sources goes on across it.
    void groupFile(FileList list, const QString &path);
    // The target's group headers, then its DISTFILES, each list when it has entries.
    void targetFilesEnd();

    // One block of what uVision adds to a target: a comment naming where it comes from,
    // then DEFINES, INCLUDEPATH (the project's folders, then the pack folders) with the
    // given headers and those of the project's folders, and SOURCES.
    void addition(const QString &comment, const QStringList &defines,
                  const QStringList &includeFolders, const QStringList &packFolders,
                  const QStringList &headers, const QStringList &sources);

    // Defines only Qt Creator's code model reads (qtc_run), for the keywords of the target's
    // compiler.
    void codeModelDefines(const QStringList &defines);

    // At the end of a target's blocks: where uVision links its program (see
    // Fragments::linkedProgram).
    void linkedProgram(const QString &folder, const QString &name);

    void scopeDefault(const QString &target);
    // Right after the default: UV_TARGET given as a target's number selects that target.
    void targetNumbers(const QStringList &targets);
    // The values written so far belong to every target (they precede the first scope).
    void shareSeen();
    void openScope(const QString &target);
    void closeScope();
    // After the last scope: the check that UV_TARGET names one of the targets.
    void targetCheck(const QStringList &targets);

    // After every target: what makes Build run uVision's batch build.
    void uvisionBuild(const UvisionBuild &build);

    // The closing lines; then everything is handed to the device.
    void closing();
    bool failed() const { return m_failed; }

private:
    // What the last block left open: a file list's last entry ends in a continuation.
    enum class OpenList { None, Sources, Files };

    // A define or include list as written: its text with '/' separators, its items as
    // views of that text, whether none repeats, and for a define list its text in the .pro.
    struct List
    {
        QString text;
        std::vector<QStringView> items;
        bool unique = true;
        mutable QByteArray rendered;
    };
    // What a target listed of one kind: the lists, and their items once a second list comes.
    struct SeenItems
    {
        QSet<QString> lists;
        QList<const List *> pending;
        QSet<QStringView> items;
    };

    QByteArray includeBlock(const QString &key, const std::vector<QStringView> &entries);
    // An include list's block, made once a run.
    struct IncludeBlock
    {
        QByteArray values; // the INCLUDEPATH values and the HEADERS opener
        QStringList headers;
        QByteArray entries; // their HEADERS lines
        bool unique = true;
    };
    // The headers a target listed: kept aside until a second block comes.
    struct SeenHeaders
    {
        QList<const QStringList *> pending;
        QSet<QString> items;
    };
    QByteArray headerEntries(const QStringList &headers);
    QByteArray headerEntries(const IncludeBlock &block);
    static void mergePending(SeenHeaders &seen);
    static const List &parsedList(QHash<QString, std::shared_ptr<List>> &lists, const QString &text,
                                  std::vector<QStringView> (*split)(QStringView));
    static std::vector<QStringView> firstSeen(const QString &text, const List &list,
                                              SeenItems &seen, bool *whole);
    void beginFiles(const char *opener, OpenList list);
    // A list of values, closed by its empty line.
    void values(const char *opener, const QByteArray &items);
    // Any other block: it closes what came before it.
    void block(const QByteArray &text);
    void closeList();
    void write(const char *text);
    void write(const QByteArray &bytes);
    void flush();

    QIODevice &m_output;
    HeaderScanner &m_headers;
    // Targets repeat the same include list, and assembler options often copy it: each list
    // and its headers are made once a run.
    QHash<QString, std::shared_ptr<IncludeBlock>> m_includeBlocks;
    // What a target has listed: each define, include folder and header once.
    QHash<QString, std::shared_ptr<List>> m_defineLists;
    QHash<QString, std::shared_ptr<List>> m_includeLists;
    struct Seen
    {
        SeenItems defines;
        SeenItems includes;
        SeenHeaders headers;
    };
    Seen m_seen;
    Seen m_shared; // what the values before the first target listed, for every target
    std::string m_buffer;
    bool m_failed = false;
    OpenList m_open = OpenList::None;
    QStringList m_groupHeaders;
    QStringList m_distFiles;
};

} // namespace Corvane

#endif
