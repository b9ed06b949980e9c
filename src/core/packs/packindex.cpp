#include "packs/packindex.h"

#include "common/savedfile.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>

namespace Corvane {

namespace {

const quint32 magic = 0x43505849; // "CPXI"
// Raised whenever what an entry holds or how it is found changes: an older file is rebuilt.
const quint32 format = 1;
const QCryptographicHash::Algorithm checksum = QCryptographicHash::Md5;
const int checksumSize = 16;
// An index of thousands of packs is a few megabytes; anything larger is not ours.
const qint64 largest = 64 * 1024 * 1024;
// A file changed again within the time stamp's resolution (2 s on FAT) keeps its time, so
// a description changed that recently is read again next time rather than trusted.
const qint64 settled = 2000;

QString canonicalRoot(const QString &root)
{
    const QFileInfo info(root);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

bool readEntry(QDataStream &in, PackIndexEntry &entry)
{
    in >> entry.vendor >> entry.name >> entry.version >> entry.size >> entry.modified >>
        entry.readable >> entry.devices >> entry.headers;
    // Whatever else a damaged blob holds, a search in it stays within its bounds.
    return in.status() == QDataStream::Ok && entry.devices.startsWith('\0') &&
           entry.devices.endsWith('\0');
}

} // namespace

QString PackIndexEntry::key() const
{
    return vendor + QLatin1Char('/') + name + QLatin1Char('/') + version;
}

void PackIndexEntry::describe(const PackDescription &description)
{
    // PackDescription::device() in one pass: a Dvariant wins over a Dname, the first of
    // either over later ones.
    const QString variantKey = QStringLiteral("Dvariant");
    const QString nameKey = QStringLiteral("Dname");
    QHash<QString, const PackDevice *> variants;
    QHash<QString, const PackDevice *> names;
    for (const PackDevice &d : description.devices) {
        const bool isVariant = d.attributes.contains(variantKey);
        QHash<QString, const PackDevice *> &by = isVariant ? variants : names;
        const QString name = d.attributes.value(isVariant ? variantKey : nameKey);
        if (!by.contains(name))
            by.insert(name, &d);
    }
    readable = description.isValid();
    devices = QByteArray(1, '\0');
    headers.clear();
    QSet<QString> listed;
    QHash<QString, int> headerPlaces; // a family's devices share one
    for (const PackDevice &d : description.devices) {
        const QString name =
            d.attributes.value(d.attributes.contains(variantKey) ? variantKey : nameKey);
        if (listed.contains(name))
            continue;
        listed.insert(name);
        const QString &header = variants.value(name, names.value(name))->header;
        if (!headerPlaces.contains(header)) {
            headerPlaces.insert(header, headerPlaces.size());
            headers += header.toUtf8() + '\0';
        }
        devices += name.toUtf8() + '\1' + QByteArray::number(headerPlaces.value(header)) + '\0';
    }
}

bool PackIndexEntry::describes(const QString &device, QString *header) const
{
    const QByteArray name = device.toUtf8();
    // Such a name is no device's; as UTF-8 it could match across entries, or, from a lone
    // surrogate, another name.
    if (name.contains('\0') || name.contains('\1') || QString::fromUtf8(name) != device)
        return false;
    const int at = devices.indexOf(QByteArray('\0' + name + '\1'));
    if (at < 0)
        return false;
    const int start = at + name.size() + 2;
    const int place = devices.mid(start, devices.indexOf('\0', start) - start).toInt();
    *header = QString::fromUtf8(headers.split('\0').value(place));
    return true;
}

PackIndex::PackIndex(const QString &file, const QString &root)
    : m_file(file), m_root(canonicalRoot(root))
{
    QFile stored(m_file);
    if (m_file.isEmpty() || !stored.exists())
        return;
    QVector<PackIndexEntry> entries;
    if (stored.size() > largest || !stored.open(QIODevice::ReadOnly) ||
        !decode(stored.readAll(), m_root, &entries)) {
        m_changed = true; // rebuilt from the descriptions
        return;
    }
    for (const PackIndexEntry &entry : qAsConst(entries))
        m_stored.insert(entry.key(), entry);
}

QString PackIndex::fileFor(const QString &root)
{
    // Not CacheLocation: that folder is named after the program, and the window and
    // corvane-cli share one index.
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty() || root.isEmpty())
        return QString();
    const QByteArray hash =
        QCryptographicHash::hash(canonicalRoot(root).toUtf8(), QCryptographicHash::Sha1);
    return cache + QStringLiteral("/corvane/packs-") + QString::fromLatin1(hash.toHex().left(16)) +
           QStringLiteral(".index");
}

const PackIndexEntry *PackIndex::find(const PackIndexEntry &file) const
{
    const auto found = m_stored.constFind(file.key());
    if (found == m_stored.constEnd() || found->size != file.size ||
        found->modified != file.modified)
        return nullptr;
    return &found.value();
}

void PackIndex::keep(const PackIndexEntry &entry, bool read)
{
    if (entry.modified > QDateTime::currentMSecsSinceEpoch() - settled)
        return;
    m_kept.append(entry);
    m_changed = m_changed || read;
}

void PackIndex::save() const
{
    // Nothing new, none gone: the file is as it should be.
    if (m_file.isEmpty() || (!m_changed && m_kept.size() == m_stored.size()))
        return;
    // Two runs at once each write a whole index of the root as they found it, and the
    // last rename wins: every entry is held against its file's size and time before it is
    // used, so an index from an older look at the root is less useful, never wrong. A lock
    // would make a conversion wait, and could outlive a crashed one.
    const QByteArray bytes = encode(m_root, m_kept);
    QDir().mkpath(QFileInfo(m_file).absolutePath());
    QSaveFile file(m_file);
    if (openOutput(file) && file.write(bytes) == bytes.size())
        commitOutput(file);
}

QByteArray PackIndex::encode(const QString &root, const QVector<PackIndexEntry> &entries)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_5_12);
    out << magic << format << root << quint32(entries.size());
    for (const PackIndexEntry &entry : entries) {
        out << entry.vendor << entry.name << entry.version << entry.size << entry.modified
            << entry.readable << entry.devices << entry.headers;
    }
    return bytes + QCryptographicHash::hash(bytes, checksum);
}

bool PackIndex::decode(const QByteArray &bytes, const QString &root,
                       QVector<PackIndexEntry> *entries)
{
    // The checksum tells a damaged file from one that parses by chance.
    const QByteArray payload =
        QByteArray::fromRawData(bytes.constData(), qMax(0, bytes.size() - checksumSize));
    if (bytes.size() < checksumSize ||
        QCryptographicHash::hash(payload, checksum) != bytes.right(checksumSize))
        return false;
    QDataStream in(payload);
    in.setVersion(QDataStream::Qt_5_12);
    quint32 fileMagic = 0;
    quint32 fileFormat = 0;
    QString fileRoot;
    quint32 count = 0;
    in >> fileMagic >> fileFormat;
    if (fileMagic != magic || fileFormat != format)
        return false;
    in >> fileRoot >> count;
    // An entry takes at least 37 bytes (five strings, two times, a flag): a damaged count
    // would otherwise reserve gigabytes.
    if (in.status() != QDataStream::Ok || fileRoot != root ||
        count > in.device()->bytesAvailable() / 37)
        return false;
    entries->reserve(int(count));
    for (quint32 i = 0; i < count; ++i) {
        PackIndexEntry entry;
        if (!readEntry(in, entry))
            return false;
        entries->append(entry);
    }
    return in.status() == QDataStream::Ok && in.atEnd();
}

} // namespace Corvane
