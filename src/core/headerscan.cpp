#include "headerscan.h"

#include "fragments.h"

#include <QDir>

namespace Corvane {

HeaderScanner::HeaderScanner(const QString &projectDir) : m_projectDir(projectDir) {}

QString HeaderScanner::resolve(const QString &entry) const
{
    QDir dir(m_projectDir);
    QString rest = entry;
    while (rest.startsWith(QLatin1String("../"))) {
        // Climbing above the root keeps the root, as the file system does.
        dir.cdUp();
        rest.remove(0, 3);
    }
    return dir.path() + QLatin1Char('/') + rest;
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

} // namespace Corvane
