#ifndef CORVANE_SUBDIRSWRITER_H
#define CORVANE_SUBDIRSWRITER_H

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

namespace Corvane {

// A member of a qmake subdirs project.
struct Subproject
{
    QString proFile;     // relative to the subdirs project's folder, '/' separators
    bool active = false; // uVision's active project: a comment says so
};

// A qmake name for each .pro file, from its base name: ASCII letters, digits and '_' only
// (qmake turns any other character of a SUBDIRS entry into '-' when it looks up the
// entry's ".file"), starting with a letter or '_', unique even when letter case is
// ignored ("Project", "Project_2").
QStringList subprojectNames(const QStringList &proFiles);

// The whole subdirs project: the banner, TEMPLATE = subdirs, then per member, in order,
// "SUBDIRS += name", "name.file = path" and, after the first, "name.depends = previous"
// so that make builds them one after another. Every line ends in "\r\n".
QByteArray subdirsProject(const QDateTime &time, const QVector<Subproject> &subprojects);

} // namespace Corvane

#endif
