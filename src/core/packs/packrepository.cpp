#include "packs/packrepository.h"

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

PackRepository::PackRepository(const QString &root, const QString &origin)
    : m_root(root.isEmpty() ? QString() : QDir::cleanPath(QDir(root).absolutePath())),
      m_origin(origin)
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
            if (QFileInfo(folder(vendor, name, version) + QLatin1Char('/') + vendor +
                          QLatin1Char('.') + name + QLatin1String(".pdsc"))
                    .isFile())
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
    const QString path = folder(vendor, name, version) + QLatin1Char('/') + vendor +
                         QLatin1Char('.') + name + QLatin1String(".pdsc");
    auto cached = m_descriptions.constFind(path);
    if (cached == m_descriptions.constEnd())
        cached = m_descriptions.insert(
            path, std::make_shared<PackDescription>(readPackDescription(readFile(path))));
    return cached.value().get();
}

QMap<QString, QList<PackRef>> PackRepository::packsDescribing(const QStringList &devices)
{
    QMap<QString, QList<PackRef>> found;
    if (m_root.isEmpty() || devices.isEmpty())
        return found;
    for (const QString &vendor : subfolders(m_root)) {
        for (const QString &name : subfolders(m_root + QLatin1Char('/') + vendor)) {
            for (const QString &version : versions(vendor, name)) {
                const QString path = folder(vendor, name, version) + QLatin1Char('/') + vendor +
                                     QLatin1Char('.') + name + QLatin1String(".pdsc");
                auto cached = m_descriptions.constFind(path);
                if (cached == m_descriptions.constEnd()) {
                    // Most packs describe none of the devices: a look at the bytes tells,
                    // without parsing the XML.
                    const QByteArray xml = readFile(path);
                    const bool mentions = std::any_of(
                        devices.cbegin(), devices.cend(), [&xml](const QString &device) {
                            return xml.contains(QByteArray('"' + device.toUtf8() + '"'));
                        });
                    if (!mentions)
                        continue;
                    cached = m_descriptions.insert(
                        path, std::make_shared<PackDescription>(readPackDescription(xml)));
                }
                for (const QString &device : devices) {
                    if (cached.value()->device(device))
                        found[device].append(PackRef{vendor, name, version});
                }
            }
        }
    }
    return found;
}

} // namespace Corvane
