#ifndef CORVANE_LETTERCASE_H
#define CORVANE_LETTERCASE_H

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

namespace Corvane {

// Projects are written on Windows, whose file names ignore letter case: a project may name
// User\Led\bsp_led.c where the disk has User/led/bsp_led.c. On a disk that tells letter case
// apart, this finds the name the disk has. Each folder is listed once.
class LetterCase
{
public:
    // Relative paths are taken from `baseDir`.
    explicit LetterCase(const QString &baseDir);

    // The path ('/' separators) with each part spelt as the disk has it, when it is not there
    // as spelt but each part that is not matches exactly one entry of its folder in any
    // letter case. Empty when it is there as spelt, or when a part matches none or several.
    QString onDisk(const QString &path);

    // Whether the path names something on disk as spelt.
    bool exists(const QString &path);

private:
    struct Listing
    {
        QSet<QString> names;
        QHash<QString, QStringList> byLowerCase;
    };
    const Listing &listing(const QString &dir);
    QString absolute(const QString &path) const;

    QString m_baseDir;
    QHash<QString, Listing> m_listings;
};

} // namespace Corvane

#endif
