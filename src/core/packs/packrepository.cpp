#include "packs/packrepository.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace Corvane {

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

} // namespace

PackRepository::PackRepository(const QString &root, const QString &origin, const QString &indexFile)
    : m_root(root.isEmpty() ? QString() : QDir::cleanPath(QDir(root).absolutePath())),
      m_origin(origin), m_indexFile(indexFile)
{}

QStringList PackRepository::subfolders(const QString &path) const
{
    // .Web, .Download and .Local hold what the pack tools keep for themselves.
    return QDir(path).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

int PackRepository::compareVersions(const QString &a, const QString &b)
{
    // "2.11.0" > "2.2.0": numbers, part by part; a missing part counts as 0.
    auto split = [](const QString &version, QString *rest) {
        int end = 0;
        while (end < version.size() &&
               (version.at(end).isDigit() || version.at(end) == QLatin1Char('.')))
            ++end;
        *rest = version.mid(end);
        return version.left(end).split(QLatin1Char('.'), Qt::SkipEmptyParts);
    };
    QString restA;
    QString restB;
    const QStringList numbersA = split(a, &restA);
    const QStringList numbersB = split(b, &restB);
    for (int i = 0; i < qMax(numbersA.size(), numbersB.size()); ++i) {
        const qulonglong x = numbersA.value(i).toULongLong();
        const qulonglong y = numbersB.value(i).toULongLong();
        if (x != y)
            return x < y ? -1 : 1;
    }
    // Equal numbers: a release is newer than its pre-releases ("-dev", "-rc.1"); build
    // metadata ("+g1a2b") does not count.
    restA = restA.section(QLatin1Char('+'), 0, 0);
    restB = restB.section(QLatin1Char('+'), 0, 0);
    if (restA == restB)
        return 0;
    if (restA.isEmpty())
        return 1;
    if (restB.isEmpty())
        return -1;
    // Pre-releases compare as semantic versions do, identifier by identifier: numbers as
    // numbers and before words, words as text; of equal identifiers, fewer come first.
    auto identifiers = [](const QString &rest) {
        return rest.mid(rest.startsWith(QLatin1Char('-')) ? 1 : 0).split(QLatin1Char('.'));
    };
    auto isNumber = [](const QString &id) {
        return !id.isEmpty() && std::all_of(id.cbegin(), id.cend(), [](QChar c) {
            return c >= QLatin1Char('0') && c <= QLatin1Char('9');
        });
    };
    const QStringList idsA = identifiers(restA);
    const QStringList idsB = identifiers(restB);
    for (int i = 0; i < qMin(idsA.size(), idsB.size()); ++i) {
        const QString &x = idsA.at(i);
        const QString &y = idsB.at(i);
        if (x == y)
            continue;
        if (isNumber(x) && isNumber(y)) {
            if (x.toULongLong() != y.toULongLong())
                return x.toULongLong() < y.toULongLong() ? -1 : 1;
        } else if (isNumber(x) != isNumber(y)) {
            return isNumber(x) ? -1 : 1;
        }
        return x < y ? -1 : 1;
    }
    return idsA.size() == idsB.size() ? 0 : idsA.size() < idsB.size() ? -1 : 1;
}

QStringList PackRepository::versions(const QString &vendor, const QString &name)
{
    const QString key = vendor + QLatin1Char('/') + name;
    const auto known = m_versions.constFind(key);
    if (known != m_versions.constEnd())
        return known.value();
    QStringList installed;
    if (!m_root.isEmpty() && !vendor.isEmpty() && !name.isEmpty()) {
        const QString packDir = m_root + QLatin1Char('/') + key;
        for (const QString &version : subfolders(packDir)) {
            if (QFileInfo(descriptionPath(vendor, name, version)).isFile())
                installed.append(version);
        }
        std::sort(installed.begin(), installed.end(),
                  [](const QString &a, const QString &b) { return compareVersions(a, b) > 0; });
    }
    m_versions.insert(key, installed);
    return installed;
}

QString PackRepository::folder(const QString &vendor, const QString &name,
                               const QString &version) const
{
    return m_root + QLatin1Char('/') + vendor + QLatin1Char('/') + name + QLatin1Char('/') +
           version;
}

const PackDescription *PackRepository::description(const QString &vendor, const QString &name,
                                                   const QString &version)
{
    if (!versions(vendor, name).contains(version))
        return nullptr;
    const QString path = descriptionPath(vendor, name, version);
    auto cached = m_descriptions.constFind(path);
    if (cached == m_descriptions.constEnd())
        cached = m_descriptions.insert(
            path, std::make_shared<PackDescription>(readPackDescription(readFile(path))));
    return cached.value().get();
}

QString PackRepository::descriptionPath(const QString &vendor, const QString &name,
                                        const QString &version) const
{
    return folder(vendor, name, version) + QLatin1Char('/') + vendor + QLatin1Char('.') + name +
           QLatin1String(".pdsc");
}

// One description as the device search sees it: from the index when the file is as it was
// indexed, otherwise read and indexed, and let go.
PackIndexEntry PackRepository::indexEntry(PackIndex &index, const QString &vendor,
                                          const QString &name, const QString &version)
{
    const QString path = descriptionPath(vendor, name, version);
    const QFileInfo info(path);
    // Made unreadable, a file keeps its size and time; read, it would describe nothing.
    if (!info.isReadable())
        return PackIndexEntry();
    PackIndexEntry file;
    file.vendor = vendor;
    file.name = name;
    file.version = version;
    file.size = info.size();
    file.modified = info.lastModified().toMSecsSinceEpoch();
    if (const PackIndexEntry *known = index.find(file)) {
        index.keep(*known, false);
        return *known;
    }
    const auto cached = m_descriptions.constFind(path);
    if (cached != m_descriptions.constEnd()) {
        file.describe(*cached.value());
    } else {
        // One that cannot be opened now is not remembered as one that cannot be parsed.
        QFile xml(path);
        if (!xml.open(QIODevice::ReadOnly))
            return PackIndexEntry();
        file.describe(readPackDescription(xml.readAll()));
    }
    index.keep(file, true);
    return file;
}

QMap<QString, QList<DevicePack>> PackRepository::packsDescribing(const QStringList &devices)
{
    QMap<QString, QList<DevicePack>> found;
    if (m_root.isEmpty() || devices.isEmpty())
        return found;
    PackIndex index(m_indexFile, m_root);
    for (const QString &vendor : subfolders(m_root)) {
        for (const QString &name : subfolders(m_root + QLatin1Char('/') + vendor)) {
            for (const QString &version : versions(vendor, name)) {
                const PackIndexEntry entry = indexEntry(index, vendor, name, version);
                for (const QString &device : devices) {
                    QString header;
                    if (entry.describes(device, &header))
                        found[device].append(DevicePack{PackRef{vendor, name, version}, header});
                }
            }
        }
    }
    index.save();
    return found;
}

} // namespace Corvane
