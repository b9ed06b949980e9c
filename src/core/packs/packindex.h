#ifndef CORVANE_PACKINDEX_H
#define CORVANE_PACKINDEX_H

#include "packs/packdescription.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

namespace Corvane {

// What the device search needs of one installed description, tied to the file's size and
// time: the devices it answers for and the header each one's <compile> names.
struct PackIndexEntry
{
    QString vendor; // as the pack's folders spell them
    QString name;
    QString version;
    qint64 size = -1;
    qint64 modified = 0; // ms since the epoch
    // False when the XML cannot be parsed: it describes nothing until it changes.
    bool readable = false;
    // Each name PackDescription::device() finds (a Dvariant, or the Dname of a device
    // without one), in UTF-8: "\0" name "\1" n for each, then "\0", where n (decimal) is the
    // place of that device's <compile header> in `headers`, each header followed by "\0".
    // XML allows no control character in a name, so a search for "\0" name "\1" finds one
    // device or none, and nothing needs parsing when the index is read.
    QByteArray devices;
    QByteArray headers;

    QString key() const;
    // Takes the devices of a description read in full.
    void describe(const PackDescription &description);
    // Whether the description describes the device, and with which header.
    bool describes(const QString &device, QString *header) const;
};

// The index of one pack root, kept in a file between runs so that a device search reads
// only the descriptions that are new or changed since. Nothing depends on the file: one
// that is missing, damaged, of another format or of another root counts as empty, and one
// that cannot be written stays as it is.
class PackIndex
{
public:
    // file: where the index is kept; empty for nowhere, every description is read.
    PackIndex(const QString &file, const QString &root);

    // The file for a pack root in the user's cache folder, the same for the window and
    // corvane-cli; empty when the platform has no cache folder.
    static QString fileFor(const QString &root);

    // What the file holds for the description `file` names (vendor, name, version) at its
    // size and time; null when it holds nothing for them.
    const PackIndexEntry *find(const PackIndexEntry &file) const;
    // Keeps an entry for the next run; `read`: it came from the description itself.
    void keep(const PackIndexEntry &entry, bool read);
    // Writes what was kept when it differs from what the file held; a failure is ignored.
    void save() const;

    static QByteArray encode(const QString &root, const QVector<PackIndexEntry> &entries);
    // False for anything encode() did not write for this root.
    static bool decode(const QByteArray &bytes, const QString &root,
                       QVector<PackIndexEntry> *entries);

private:
    QString m_file;
    QString m_root;
    QHash<QString, PackIndexEntry> m_stored; // by key
    QVector<PackIndexEntry> m_kept;
    bool m_changed = false;
};

} // namespace Corvane

#endif
