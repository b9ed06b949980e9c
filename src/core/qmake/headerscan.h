#ifndef CORVANE_HEADERSCAN_H
#define CORVANE_HEADERSCAN_H

#include <QHash>
#include <QList>
#include <QPair>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace Corvane {

// Lists the headers that lie directly in the directories of a uVision include list.
class HeaderScanner
{
public:
    explicit HeaderScanner(const QString &projectDir);

    // The header paths of an include list's entries (see includeEntries()), as they go into
    // HEADERS: the last directory of the list first, each directory's headers in name
    // order, each path made of the entry as written, "/" and the file name.
    QStringList headers(const QStringList &includeEntries);

    // The HEADERS lines of an include list's entries, ready to write: Fragments::fileEntry
    // of each path headers() gives.
    QByteArray entries(const QStringList &includeEntries);

    // The headers of one folder as HEADERS lists them: the folder as given, "/", the file
    // name. A relative folder resolves as an include entry does; an absolute one (a pack's
    // folder) is listed where it is.
    QStringList headersOf(const QString &folder);

    // Where an include entry points: leading "../" steps climb from the project
    // directory, the rest is taken below the directory reached.
    QString resolve(const QString &entry) const;

    // The entries of include lists that name no folder on disk, each once, in the order met.
    const QStringList &missingEntries() const { return m_missing; }
    // Every header listed so far that is not empty: as HEADERS shows it, and where it is.
    QList<QPair<QString, QString>> listedFiles() const;

private:
    const QStringList &headersIn(const QString &directory);
    bool isDirectory(const QString &path);
    const QString &climbed(int steps) const;
    void remember(const QString &path, bool isDirectory) const;

    QString m_projectDir;
    QStringList m_missing;
    QSet<QString> m_missingSeen;
    QHash<QString, QString> m_shownAs; // a listed directory, as the first entry naming it
    QSet<QString> m_empty;             // listed headers of no bytes
    // Vendor projects repeat the same include list for every target; a run lists each
    // existing directory once.
    QHash<QString, QStringList> m_listings;
    // m_climbed[n] is the project directory n steps up. Every step up asks the file system
    // whether the parent exists; thousands of "../../" entries would ask the same again.
    mutable QStringList m_climbed;
    mutable bool m_reachedTop = false;
    // Whether a path is a directory, for the directories climbed to and the folders below
    // them that the file system was asked about. Looked up by views into a path, so that
    // asking about each folder of thousands of entries copies none; m_paths holds the text.
    mutable QStringList m_paths;
    mutable QHash<QStringView, bool> m_isDirectory;
};

} // namespace Corvane

#endif
