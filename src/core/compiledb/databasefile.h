#ifndef CORVANE_DATABASEFILE_H
#define CORVANE_DATABASEFILE_H

#include "common/notice.h"
#include "common/writtenfile.h"

#include <QByteArray>
#include <QJsonArray>
#include <QString>
#include <QStringList>
#include <QVector>

namespace Corvane {

// The entries one project gives compile_commands.json, and what tells them from the entries
// of other projects in the same file: their "directory", and the folder of their "output"
// (two projects in one folder compile to objects of their own).
struct ProjectEntries
{
    QString projectDir;   // absolute, '/' separators, as the entries' "directory"
    QString objectFolder; // see objectFolder()
    QJsonArray entries;
};

// What writing the entries of a project, or of a workspace's members, came to.
struct DatabaseOutcome
{
    QVector<WrittenFile> files; // each compile_commands.json written, once
    // Where it went when that is not the project's folder, or why it is not where clangd
    // finds it from every source by itself.
    Notices notices;
};

// The deepest folder that holds every path given (absolute, '/' separators): clangd looks for
// compile_commands.json in the folders above each file it opens, so from there it finds the
// database for all of them. Empty when the paths share no folder (other drives), or only a
// drive's root, "/", the home folder or a folder above it: a source named by its absolute
// path in the Keil installation would otherwise put the database there.
QString databaseFolder(const QStringList &paths);

// The entries of an existing database with those of `projects` in place of the ones they
// wrote before (where the first of those was, else at the end); every other entry stays as
// it was. False when `existing` is no compilation database (blank text is an empty one).
bool mergeEntries(const QByteArray &existing, const QVector<ProjectEntries> &projects,
                  QJsonArray *merged);

// Writes the entries into compile_commands.json: into `folder` when the user named one, else
// into the databaseFolder() of the projects' folders and of every file their entries name,
// else beside each project. The file is read, merged and replaced under a lock, so that two
// conversions at once keep each other's entries; a file there that is no compilation
// database is left alone (beside a project it is replaced, with a notice).
DatabaseOutcome writeCompileCommands(const QVector<ProjectEntries> &projects,
                                     const QString &folder = QString());

} // namespace Corvane

#endif
