#include "reading/lettercase.h"

#include <QDir>

namespace Corvane {

LetterCase::LetterCase(const QString &baseDir) : m_baseDir(QDir::cleanPath(baseDir)) {}

const LetterCase::Listing &LetterCase::listing(const QString &dir)
{
    auto found = m_listings.constFind(dir);
    if (found != m_listings.constEnd())
        return found.value();
    Listing listing;
    const QStringList entries =
        QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        listing.names.insert(entry);
        listing.byLowerCase[entry.toLower()].append(entry);
    }
    return m_listings.insert(dir, listing).value();
}

// The path's folder first, then its last part in that folder's listing.
const LetterCase::Found &LetterCase::find(const QString &path)
{
    auto known = m_found.constFind(path);
    if (known != m_found.constEnd())
        return known.value();
    Found found;
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0 && path.endsWith(QLatin1Char(':'))) {
        // A drive: "C:" of "C:/x".
        found = {true, false, path + QLatin1Char('/'), path + QLatin1Char('/')};
    } else if (slash == 0 && path.size() == 1) {
        found = {true, false, path, path}; // the root of "/x"
    } else {
        const Found parent = slash < 0    ? Found{true, false, QString(), m_baseDir}
                             : slash == 0 ? find(path.left(1))
                                          : find(path.left(slash));
        // Below a folder that is not there, nothing is: no name to spell.
        if (!parent.found)
            return m_found.insert(path, Found()).value();
        const QString name = path.mid(slash + 1);
        const QString separator = parent.spelt.isEmpty() || parent.spelt.endsWith(QLatin1Char('/'))
                                      ? QString()
                                      : QStringLiteral("/");
        found = parent;
        found.disk = QDir::cleanPath(parent.disk + QLatin1Char('/') + name);
        QString spelt = name;
        if (parent.found && !name.isEmpty() && name != QLatin1String(".") &&
            name != QLatin1String("..")) {
            const Listing &entries = listing(parent.disk);
            if (!entries.names.contains(name)) {
                const QStringList matches = entries.byLowerCase.value(name.toLower());
                found.found = matches.size() == 1;
                if (found.found) {
                    spelt = matches.first();
                    found.changed = true;
                    found.disk = QDir::cleanPath(parent.disk + QLatin1Char('/') + spelt);
                }
            }
        }
        found.spelt = parent.spelt + separator + spelt;
    }
    return m_found.insert(path, found).value();
}

QString LetterCase::onDisk(const QString &path)
{
    // Targets name the same files again: each path is looked up once.
    const auto known = m_paths.constFind(path);
    if (known != m_paths.constEnd())
        return *known;
    const QString spelt = spell(path);
    m_paths.insert(path, spelt);
    return spelt;
}

QString LetterCase::spell(const QString &path)
{
    // Real paths have a few dozen parts; a list that climbs a million folders up is looked
    // up part by part nowhere.
    if (path.isEmpty() || path.count(QLatin1Char('/')) > 256)
        return QString();
    // Most paths name a file that is there, in a folder named before: its folder's listing
    // tells, with nothing kept for the file itself.
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash > 0) {
        const Found &folder = find(path.left(slash));
        if (!folder.found)
            return QString();
        const QStringView name = QStringView(path).mid(slash + 1);
        if (!folder.changed && !name.isEmpty() && name != QLatin1String(".") &&
            name != QLatin1String("..") && listing(folder.disk).names.contains(name.toString()))
            return QString();
    }
    const Found &found = find(path);
    return found.found && found.changed ? found.spelt : QString();
}

} // namespace Corvane
