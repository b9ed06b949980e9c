#include "reading/lettercase.h"

#include <QDir>
#include <QFileInfo>

namespace Corvane {

LetterCase::LetterCase(const QString &baseDir) : m_baseDir(baseDir) {}

QString LetterCase::absolute(const QString &path) const
{
    return QDir::isAbsolutePath(path) ? path : m_baseDir + QLatin1Char('/') + path;
}

const LetterCase::Listing &LetterCase::listing(const QString &dir)
{
    const QString key = QDir::cleanPath(dir);
    auto found = m_listings.constFind(key);
    if (found != m_listings.constEnd())
        return found.value();
    Listing listing;
    const QStringList entries =
        QDir(key).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        listing.names.insert(entry);
        listing.byLowerCase[entry.toLower()].append(entry);
    }
    return m_listings.insert(key, listing).value();
}

bool LetterCase::exists(const QString &path)
{
    const QString full = QDir::cleanPath(absolute(path));
    const int slash = full.lastIndexOf(QLatin1Char('/'));
    // A root, or a path whose folder was not listed in full: ask the disk.
    if (slash <= 0 || full.endsWith(QLatin1Char(':')))
        return QFileInfo::exists(full);
    return listing(full.left(slash)).names.contains(full.mid(slash + 1));
}

QString LetterCase::onDisk(const QString &path)
{
    if (path.isEmpty() || exists(path))
        return QString();
    QStringList parts = path.split(QLatin1Char('/'));
    // The walk starts where the path does: the base folder, or the root it names ("/", "C:/").
    QString at = m_baseDir;
    QStringList spelt;
    if (QDir::isAbsolutePath(path)) {
        spelt.append(parts.takeFirst());
        at = spelt.first() + QLatin1Char('/');
    }
    bool changed = false;
    for (const QString &part : qAsConst(parts)) {
        QString name = part;
        if (!part.isEmpty() && part != QLatin1String(".") && part != QLatin1String("..")) {
            const Listing &entries = listing(at);
            if (!entries.names.contains(part)) {
                const QStringList matches = entries.byLowerCase.value(part.toLower());
                if (matches.size() != 1)
                    return QString();
                name = matches.first();
                changed = true;
            }
        }
        at += (at.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) + name;
        spelt.append(name);
    }
    return changed ? spelt.join(QLatin1Char('/')) : QString();
}

} // namespace Corvane
