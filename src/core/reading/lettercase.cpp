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

// The path's folder first, then its last part in that folder's listing. A folder that is
// not there is kept as such, with nothing below it: include lists name thousands of folders
// below one that is missing.
const LetterCase::Found &LetterCase::find(const QString &path)
{
    static const Found missing;
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
        if (!parent.found)
            return missing;
        found = inFolder(parent, QStringView(path).mid(slash + 1));
        if (!found.found)
            return m_found.insert(path, missing).value();
    }
    return m_found.insert(path, found).value();
}

// `name` in the folder `parent`, which is there.
LetterCase::Found LetterCase::inFolder(const Found &parent, QStringView name)
{
    const QString separator = parent.spelt.isEmpty() || parent.spelt.endsWith(QLatin1Char('/'))
                                  ? QString()
                                  : QStringLiteral("/");
    Found found = parent;
    QString spelt = name.toString();
    if (!name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")) {
        const Listing &entries = listing(parent.disk);
        if (!entries.names.contains(spelt)) {
            const QStringList matches = entries.byLowerCase.value(spelt.toLower());
            if (matches.size() != 1)
                return Found();
            spelt = matches.first();
            found.changed = true;
        }
    }
    found.disk = QDir::cleanPath(parent.disk + QLatin1Char('/') + spelt);
    found.spelt = parent.spelt + separator + spelt;
    return found;
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
    if (path.isEmpty() || (path.size() > 256 && path.count(QLatin1Char('/')) > 256))
        return QString();
    // The last part is looked up in its folder's listing and not kept: most paths name a
    // file or folder that is there, and the answer for the whole path is kept by onDisk().
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash <= 0) {
        const Found &found = find(path);
        return found.found && found.changed ? found.spelt : QString();
    }
    const Found &folder = find(path.left(slash));
    if (!folder.found)
        return QString();
    const QStringView name = QStringView(path).mid(slash + 1);
    if (!folder.changed && !name.isEmpty() && name != QLatin1String(".") &&
        name != QLatin1String("..") && listing(folder.disk).names.contains(name.toString()))
        return QString();
    const Found found = inFolder(folder, name);
    return found.found && found.changed ? found.spelt : QString();
}

} // namespace Corvane
