#include "headerscan.h"

#include "fragments.h"

#include <QDir>

namespace Corvane {

HeaderScanner::HeaderScanner(const QString &projectDir) : m_projectDir(projectDir) {}

const QString &HeaderScanner::climbed(int steps) const
{
    if (m_climbed.isEmpty())
        m_climbed.append(QDir(m_projectDir).path());
    while (m_climbed.size() <= steps && !m_reachedTop) {
        QDir dir(m_climbed.constLast());
        // Climbing above the root keeps the root, as the file system does: once a step
        // fails, every further one fails the same way.
        m_reachedTop = !dir.cdUp();
        if (!m_reachedTop)
            m_climbed.append(dir.path());
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

const QStringList &HeaderScanner::headersIn(const QString &directory)
{
    auto it = m_listings.constFind(directory);
    if (it == m_listings.constEnd()) {
        // "*.h" is matched without regard to case, so MAIN.H counts; hidden files and
        // subdirectories named like headers do not.
        const QStringList names = QDir(directory).entryList(
            QStringList(QStringLiteral("*.h")), QDir::Files | QDir::Readable, QDir::Name);
        it = m_listings.insert(directory, names);
    }
    return it.value();
}

QStringList HeaderScanner::headers(const QString &includeList)
{
    QStringList result;
    const QStringList entries = includeList.split(QLatin1Char(';'));
    for (auto entryIt = entries.crbegin(); entryIt != entries.crend(); ++entryIt) {
        const QString entry = Fragments::cleanIncludeEntry(*entryIt);
        // An empty entry names no directory; listing the project directory for it would
        // produce paths from the file system root.
        if (entry.isEmpty())
            continue;
        for (const QString &name : headersIn(resolve(entry)))
            result.append(entry + QLatin1Char('/') + name);
    }
    return result;
}

const QByteArray &HeaderScanner::entryLines(const QString &segment)
{
    auto it = m_entryLines.constFind(segment);
    if (it == m_entryLines.constEnd()) {
        QByteArray lines;
        const QString entry = Fragments::cleanIncludeEntry(segment);
        if (!entry.isEmpty()) {
            for (const QString &name : headersIn(resolve(entry)))
                lines += Fragments::fileEntry(entry + QLatin1Char('/') + name);
        }
        it = m_entryLines.insert(segment, lines);
    }
    return it.value();
}

QByteArray HeaderScanner::entries(const QString &includeList)
{
    QByteArray result;
    const QStringList segments = includeList.split(QLatin1Char(';'));
    for (auto it = segments.crbegin(); it != segments.crend(); ++it)
        result += entryLines(*it);
    return result;
}

} // namespace Corvane
