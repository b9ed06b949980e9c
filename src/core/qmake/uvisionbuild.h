#ifndef CORVANE_UVISIONBUILD_H
#define CORVANE_UVISIONBUILD_H

#include "model/target.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace Corvane {

// The block at the end of the .pro that makes Build (Qt Creator's, or qmake and make in a
// build folder) run uVision's batch build instead of the kit's compiler:
//   UV4.exe -b <project> -t "<target>" -j0 -o <log>
// then the log's diagnostics on stderr, its other lines on stdout, and UV4's exit status
// (0 and 1 succeed). After make clean, the next build passes -r. qmake -E and Qt Creator's
// parse (CONFIG qtc_run) see the targets' files and settings as before.
struct UvisionBuild
{
    QString projectFile; // the project's file name; the .pro lies beside it
    // UV4 builds the target that UV_TARGET selects (a .pro with scopes), else this one;
    // empty when the project names no target: UV4 then builds its current one.
    bool selectedByUvTarget = false;
    QString target;
    // The Keil installation whose UV4\UV4.exe is the default, "D:/Keil_v5"; empty for none.
    QString installation;

    // The block, from "\r\n# Build with uVision\r\n" on; values written literally.
    QByteArray block() const;
};

// The installation that builds a project: C51's for a project of C51 targets only, MDK's
// for any other; the other one when that one is not known.
QString buildingInstallation(const QList<Target> &targets, const QString &mdkRoot,
                             const QString &c51Root);

} // namespace Corvane

#endif
