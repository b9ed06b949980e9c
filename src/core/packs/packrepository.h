#ifndef CORVANE_PACKREPOSITORY_H
#define CORVANE_PACKREPOSITORY_H

#include "packs/packdescription.h"
#include "packs/packindex.h"

#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>

#include <memory>

namespace Corvane {

// An installed version that describes a device, and the header its <compile> names for it.
struct DevicePack
{
    PackRef pack;
    QString header;
};

// The CMSIS packs installed under a pack root, laid out as uVision and the Arm pack tools
// install them: <root>/<Vendor>/<Name>/<Version>/<Vendor>.<Name>.pdsc with the pack's files
// beside it. Every description is read at most once per run.
class PackRepository
{
public:
    // origin: where the root came from, for the user ("CMSIS_PACK_ROOT" …); may be empty.
    // indexFile: where the device search keeps its index of the root (see PackIndex);
    // empty for none.
    explicit PackRepository(const QString &root, const QString &origin = QString(),
                            const QString &indexFile = QString());

    QString root() const { return m_root; }
    QString origin() const { return m_origin; }

    // The installed versions of a pack, newest first.
    QStringList versions(const QString &vendor, const QString &name);
    // The folder of one version, absolute, with '/' separators.
    QString folder(const QString &vendor, const QString &name, const QString &version) const;
    // The description of one installed version, or null when that version is not installed.
    // A description that cannot be read has an error and nothing else.
    const PackDescription *description(const QString &vendor, const QString &name,
                                       const QString &version);

    // Every installed version that describes one of these devices (a Dname or Dvariant), for
    // projects that name a device but no pack, by device in the root's order. Only
    // descriptions the index does not know are read, and none of them is kept.
    QMap<QString, QList<DevicePack>> packsDescribing(const QStringList &devices);

    // -1, 0 or 1 as version a is older than, equal to, or newer than b, as semantic
    // versions compare: pre-releases ("3.1.2-dev") before their release, build metadata
    // ("+g1a2b") ignored.
    static int compareVersions(const QString &a, const QString &b);

private:
    QStringList subfolders(const QString &path) const;
    QString descriptionPath(const QString &vendor, const QString &name,
                            const QString &version) const;
    PackIndexEntry indexEntry(PackIndex &index, const QString &vendor, const QString &name,
                              const QString &version);

    QString m_root;
    QString m_origin;
    QString m_indexFile;
    QHash<QString, QStringList> m_versions;
    QHash<QString, std::shared_ptr<PackDescription>> m_descriptions; // by .pdsc path
};

} // namespace Corvane

#endif
