#include "reading/filecheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace Corvane {

namespace {

constexpr int shownPerKind = 20;
constexpr qint64 encodingSample = 64 * 1024;

// The first findings of a kind, then how many more there are. A list of 80,000 missing
// include folders makes 20 notices, not 80,000.
template <typename List, typename Finding>
void appendCapped(Notices &out, const List &items, Finding finding, Notice::Kind more)
{
    for (int i = 0; i < items.size() && i < shownPerKind; ++i)
        out.append(finding(items.at(i)));
    if (items.size() > shownPerKind)
        out.append({more, {QString::number(items.size() - shownPerKind)}, {}});
}

} // namespace

FileCheck::FileCheck(const QString &projectDir) : m_projectDir(projectDir) {}

void FileCheck::projectFile(const QString &path, bool text)
{
    QSet<QString> &seen = text ? m_namedText : m_namedOther;
    if (path.isEmpty() || seen.contains(path))
        return;
    seen.insert(path);
    const QString full = QDir::isAbsolutePath(path) ? path : m_projectDir + QLatin1Char('/') + path;
    if (folderExists(full.left(full.lastIndexOf(QLatin1Char('/')))) && QFileInfo::exists(full)) {
        if (text && !m_textPaths.contains(full)) {
            m_textPaths.insert(full);
            m_text.append(qMakePair(path, full));
        }
        return;
    }
    if (!m_missingSeen.contains(path)) {
        m_missingSeen.insert(path);
        m_missingFiles.append(path);
    }
}

void FileCheck::missingFolders(const QStringList &entries)
{
    m_missingFolders += entries;
}

void FileCheck::listedFiles(const QList<QPair<QString, QString>> &files)
{
    for (const auto &file : files) {
        if (!m_textPaths.contains(file.second)) {
            m_textPaths.insert(file.second);
            m_text.append(file);
        }
    }
}

void FileCheck::checkEncodings()
{
    for (const auto &file : qAsConst(m_text)) {
        // One read of the sample and a byte more, straight from the file: projects list
        // hundreds of headers, and a buffered QFile would read ahead and copy for nothing.
        QFile f(file.second);
        if (!f.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            continue;
        QByteArray bytes = f.read(encodingSample + 1);
        const bool truncated = bytes.size() > encodingSample;
        bytes.truncate(int(encodingSample));
        const TextEncoding encoding = detectEncoding(bytes, truncated);
        m_encodings.add(file.second, encoding);
        if (encoding == TextEncoding::Unknown)
            m_unknownEncoding.append(file.first);
    }
    m_text.clear();
}

Notices FileCheck::notices()
{
    Notices out;
    appendCapped(
        out, m_missingFiles,
        [](const QString &file) -> Notice {
            return {Notice::Kind::FileMissing, {file}, {}};
        },
        Notice::Kind::MoreFilesMissing);
    appendCapped(
        out, m_missingFolders,
        [](const QString &entry) -> Notice {
            return {Notice::Kind::FolderMissing, {entry}, {}};
        },
        Notice::Kind::MoreFoldersMissing);
    appendCapped(
        out, m_unknownEncoding,
        [](const QString &file) -> Notice {
            return {Notice::Kind::UnknownEncoding, {file}, {}};
        },
        Notice::Kind::MoreUnknownEncodings);
    return out;
}

// Projects name hundreds of sources in a few folders, often folders not checked out: each
// folder is asked about once.
bool FileCheck::folderExists(const QString &folder)
{
    auto known = m_folders.constFind(folder);
    if (known == m_folders.constEnd())
        known = m_folders.insert(folder, QFileInfo(folder).isDir());
    return known.value();
}

} // namespace Corvane
