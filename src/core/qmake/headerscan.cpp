#include "qmake/headerscan.h"

#include "qmake/fragments.h"
#include "reading/projectvalues.h"

#include <QDir>
#include <QFileInfo>
#include <QVarLengthArray>

#include <algorithm>

namespace Corvane {

HeaderScanner::HeaderScanner(const QString &projectDir) : m_projectDir(projectDir) {}

const QString &HeaderScanner::climbed(int steps) const
{
    if (m_climbed.isEmpty()) {
        m_climbed.append(QDir(m_projectDir).path());
        m_isDirectory.insert(m_climbed.constLast(), true);
    }
    while (m_climbed.size() <= steps && !m_reachedTop) {
        QDir dir(m_climbed.constLast());
        // Climbing above the root keeps the root, as the file system does: once a step
        // fails, every further one fails the same way.
        m_reachedTop = !dir.cdUp();
        if (!m_reachedTop) {
            m_climbed.append(dir.path());
            m_isDirectory.insert(m_climbed.constLast(), true);
        }
    }
    return m_climbed.at(qMin(steps, int(m_climbed.size()) - 1));
}

QString HeaderScanner::resolve(const QString &entry) const
{
    int steps = 0;
    while (QStringView(entry).mid(3 * steps).startsWith(QLatin1String("../")))
        ++steps;
    return climbed(steps) + QLatin1Char('/') + entry.mid(3 * steps);
}

// Include lists often name hundreds of directories of an SDK that is not there, all below
// the same few missing folders. Each folder between the directory an entry climbed to and
// the one it names is asked about once, top down, and nothing below a missing one is asked
// about at all.
bool HeaderScanner::isDirectory(const QString &path)
{
    // Some systems read "a/../b" as b even when a is missing.
    if (path.contains(QLatin1String("/.")))
        return QFileInfo(path).isDir();
    // Ends of the prefixes of path not asked about yet, the whole path first. The walk
    // stops at the latest at the directory the entry climbed to, which exists.
    QVarLengthArray<int, 16> unknown;
    for (int end = path.size(); end > 0; end = path.lastIndexOf(QLatin1Char('/'), end - 1)) {
        const auto known = m_isDirectory.constFind(path.left(end));
        if (known != m_isDirectory.constEnd()) {
            if (!known.value())
                return false;
            break;
        }
        unknown.append(end);
    }
    for (int i = unknown.size() - 1; i >= 0; --i) {
        const QString prefix = path.left(unknown[i]);
        const bool isDir = QFileInfo(prefix).isDir();
        m_isDirectory.insert(prefix, isDir);
        if (!isDir)
            return false;
    }
    return true;
}

const QStringList &HeaderScanner::headersIn(const QString &directory)
{
    auto it = m_listings.constFind(directory);
    if (it != m_listings.constEnd())
        return it.value();
    // Listing prepares its name filter before it finds out that the directory is missing;
    // long include lists name thousands of directories that do not exist here. Missing
    // ones are remembered by isDirectory only, which keeps far fewer paths.
    static const QStringList none;
    if (!isDirectory(directory))
        return none;
    // "*.h" is matched without regard to case, so MAIN.H counts; hidden files and
    // subdirectories named like headers do not.
    const QFileInfoList infos = QDir(directory).entryInfoList(
        QStringList(QStringLiteral("*.h")), QDir::Files | QDir::Readable, QDir::Name);
    QStringList names;
    names.reserve(infos.size());
    for (const QFileInfo &info : infos) {
        names.append(info.fileName());
        // The listing knows the sizes already; an empty header has no text to look at.
        if (info.size() == 0)
            m_empty.insert(info.filePath());
    }
    return m_listings.insert(directory, names).value();
}

QStringList HeaderScanner::headers(const QString &includeList)
{
    QStringList result;
    // From the last entry to the first, without splitting a list of perhaps thousands.
    for (int end = includeList.size(); end >= 0;) {
        const int separator = end > 0 ? includeList.lastIndexOf(QLatin1Char(';'), end - 1) : -1;
        const QString entry =
            cleanIncludeEntry(includeList.mid(separator + 1, end - separator - 1));
        end = separator;
        // An empty entry names no directory; listing the project directory for it would
        // produce paths from the file system root.
        if (entry.isEmpty())
            continue;
        const QString directory = resolve(entry);
        if (!isDirectory(directory)) {
            if (!m_missingSeen.contains(entry)) {
                m_missingSeen.insert(entry);
                m_missing.append(entry);
            }
            continue;
        }
        m_shownAs.insert(directory, m_shownAs.value(directory, entry));
        for (const QString &name : headersIn(directory))
            result.append(entry + QLatin1Char('/') + name);
    }
    return result;
}

QStringList HeaderScanner::headersOf(const QString &folder)
{
    QStringList result;
    if (folder.isEmpty())
        return result;
    const QString where = QDir::isAbsolutePath(folder) ? QDir::cleanPath(folder) : resolve(folder);
    m_shownAs.insert(where, m_shownAs.value(where, folder));
    for (const QString &name : headersIn(where))
        result.append(folder + QLatin1Char('/') + name);
    return result;
}

QList<QPair<QString, QString>> HeaderScanner::listedFiles() const
{
    QList<QPair<QString, QString>> files;
    for (auto it = m_listings.cbegin(); it != m_listings.cend(); ++it) {
        const QString shown = m_shownAs.value(it.key());
        for (const QString &name : it.value()) {
            const QString path = it.key() + QLatin1Char('/') + name;
            if (!m_empty.contains(path))
                files.append(qMakePair(shown + QLatin1Char('/') + name, path));
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

QByteArray HeaderScanner::entries(const QString &includeList)
{
    QByteArray result;
    for (const QString &header : headers(includeList))
        result += Fragments::fileEntry(header);
    return result;
}

} // namespace Corvane
