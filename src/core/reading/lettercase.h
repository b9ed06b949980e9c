#ifndef CORVANE_LETTERCASE_H
#define CORVANE_LETTERCASE_H

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

namespace Corvane {

// Projects are written on Windows, whose file names ignore letter case: a project may name
// User\Led\bsp_led.c where the disk has User/led/bsp_led.c. On a disk that tells letter case
// apart, this finds the name the disk has. Each folder is listed once, and each folder a
// path passes through is looked up once: include lists name thousands of folders below the
// same few.
class LetterCase
{
public:
    // Relative paths are taken from `baseDir`.
    explicit LetterCase(const QString &baseDir);

    // The path ('/' separators) with each part spelt as the disk has it, when it is not there
    // as spelt but each part that is not matches exactly one entry of its folder in any
    // letter case. Empty when it is there as spelt, or when a part matches none or several.
    QString onDisk(const QString &path);

private:
    struct Listing
    {
        QSet<QString> names;
        QHash<QString, QStringList> byLowerCase;
    };
    struct Found
    {
        bool found = false;
        bool changed = false; // a part is spelt otherwise on disk
        QString spelt;        // as the disk has it, in the path's own form
        QString disk;         // where it is, absolute and clean
    };
    QString spell(const QString &path);
    const Found &find(const QString &path);
    Found inFolder(const Found &parent, QStringView name);
    const Listing &listing(const QString &dir);

    QString m_baseDir;
    QHash<QString, Listing> m_listings;
    QHash<QString, Found> m_found;
    QHash<QString, QString> m_paths; // what onDisk() gave
};

} // namespace Corvane

#endif
