#include "qmake/headerscan.h"

#include "qmake/fragments.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QVarLengthArray>

#include <algorithm>

namespace Corvane {

namespace {

// A header in a folder as the project names it: "..\\" is "../", and its headers "../x.h".
QString inFolder(const QString &folder, const QString &name)
{
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

} // namespace

HeaderScanner::HeaderScanner(const QString &projectDir) : m_projectDir(projectDir) {}

const QString &HeaderScanner::climbed(int steps) const
{
    if (m_climbed.isEmpty()) {
        m_climbed.append(QDir(m_projectDir).path());
        remember(m_climbed.constLast(), true);
    }
    while (m_climbed.size() <= steps && !m_reachedTop) {
        QDir dir(m_climbed.constLast());
        // Climbing above the root keeps the root, as the file system does: once a step
        // fails, every further one fails the same way.
        m_reachedTop = !dir.cdUp();
        if (!m_reachedTop) {
            m_climbed.append(dir.path());
            remember(m_climbed.constLast(), true);
        }
    }
    return m_climbed.at(qMin(steps, int(m_climbed.size()) - 1));
}

void HeaderScanner::remember(const QString &path, bool isDirectory) const
{
    m_paths.append(path);
    m_isDirectory.insert(QStringView(m_paths.constLast()), isDirectory);
}

QString HeaderScanner::resolve(const QString &entry) const
{
    const QChar *const text = entry.constData();
    int steps = 0;
    while (entry.size() >= 3 * steps + 3 && text[3 * steps] == QLatin1Char('.') &&
           text[3 * steps + 1] == QLatin1Char('.') && text[3 * steps + 2] == QLatin1Char('/'))
        ++steps;
    const QString &from = climbed(steps);
    QString path;
    path.reserve(from.size() + 1 + entry.size() - 3 * steps);
    path.append(from)
        .append(QLatin1Char('/'))
        .append(entry.constData() + 3 * steps, entry.size() - 3 * steps);
    return path;
}

// Include lists often name hundreds of directories of an SDK that is not there, all below
// the same few missing folders. Each folder between the directory an entry climbed to and
// the one it names is asked about once, top down, and nothing below a missing one is asked
// about at all.
bool HeaderScanner::isDirectory(const QString &path)
{
    const QChar *const data = path.constData();
    const int size = path.size();
    // Some systems read "a/../b" as b even when a is missing.
    for (int i = 0; i + 1 < size; ++i) {
        if (data[i] == QLatin1Char('/') && data[i + 1] == QLatin1Char('.'))
            return QFileInfo(path).isDir();
    }
    // Ends of the prefixes of path not asked about yet, the whole path first. The walk
    // stops at the latest at the directory the entry climbed to, which exists.
    QVarLengthArray<int, 16> unknown;
    for (int end = size; end > 0;) {
        const auto known = m_isDirectory.constFind(QStringView(data, end));
        if (known != m_isDirectory.constEnd()) {
            if (!known.value())
                return false;
            break;
        }
        unknown.append(end);
        do
            --end;
        while (end > 0 && data[end] != QLatin1Char('/'));
    }
    for (int i = unknown.size() - 1; i >= 0; --i) {
        const QString prefix = path.left(unknown[i]);
        const bool isDir = QFileInfo(prefix).isDir();
        remember(prefix, isDir);
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
    // What QDir::entryInfoList() gives for "*.h" and QDir::Name, without its name filter,
    // which compiles a pattern for each folder: a name ending in ".h" in any letter case,
    // so MAIN.H counts; hidden files and subdirectories named like headers do not.
    QStringList names;
    QDirIterator entry(QDir(directory, QString(), QDir::Name, QDir::Files | QDir::Readable));
    while (entry.hasNext()) {
        entry.next();
        const QString name = entry.fileName();
        if (!name.endsWith(QLatin1String(".h"), Qt::CaseInsensitive))
            continue;
        names.append(name);
        // The listing knows the sizes already; an empty header has no text to look at.
        if (entry.fileInfo().size() == 0)
            m_empty.insert(directory + QLatin1Char('/') + name);
    }
    std::sort(names.begin(), names.end());
    return m_listings.insert(directory, names).value();
}

QStringList HeaderScanner::headers(const QStringList &includeEntries)
{
    QStringList result;
    for (auto it = includeEntries.crbegin(); it != includeEntries.crend(); ++it) {
        const QString &entry = *it;
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
            result.append(inFolder(entry, name));
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
        result.append(inFolder(folder, name));
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
                files.append(qMakePair(inFolder(shown, name), path));
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

QByteArray HeaderScanner::entries(const QStringList &includeEntries)
{
    QByteArray result;
    for (const QString &header : headers(includeEntries))
        result += Fragments::fileEntry(header);
    return result;
}

} // namespace Corvane
