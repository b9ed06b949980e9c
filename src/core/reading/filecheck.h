#ifndef CORVANE_FILECHECK_H
#define CORVANE_FILECHECK_H

#include "common/notice.h"
#include "reading/textencoding.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QSet>
#include <QString>
#include <QStringList>

namespace Corvane {

// What the .pro lists, held against the disk: files and include folders the project names
// that are not there (spellAsOnDisk() finds those in another letter case first), and how
// the listed sources and headers are encoded. Each finding is told once a project, however
// many targets name the file.
class FileCheck
{
public:
    explicit FileCheck(const QString &projectDir);

    // A file the project names, as the .pro writes it ('/' separators, relative to the
    // project's folder); `text`: a source or header, whose encoding counts.
    void projectFile(const QString &path, bool text);
    // Include folders of the project that are not folders on disk, as the project names them.
    void missingFolders(const QStringList &entries);
    // Files the .pro lists that were found on disk: as the .pro shows them, and where they are.
    void listedFiles(const QList<QPair<QString, QString>> &files);

    // Reads the first 64 KiB of every listed source and header that is there, once.
    void checkEncodings();
    // The encodings of those an editor must be told.
    const SourceEncodings &encodings() const { return m_encodings; }

    // The first 20 findings of a kind, then how many more.
    Notices notices();

private:
    bool folderExists(const QString &folder);

    QString m_projectDir;
    // The files the project names, each checked once as a source or header and once as any
    // other file: a file one target leaves out may be built by another.
    QSet<QString> m_namedText;
    QSet<QString> m_namedOther;
    QSet<QString> m_missingSeen;
    QList<QPair<QString, QString>> m_text; // the sources and headers: shown, path
    QSet<QString> m_textPaths;
    QStringList m_missingFiles;
    QStringList m_missingFolders;
    QStringList m_unknownEncoding;
    SourceEncodings m_encodings;
    QHash<QString, bool> m_folders;
};

} // namespace Corvane

#endif
