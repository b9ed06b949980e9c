#ifndef CORVANE_UVISIONBUILD_H
#define CORVANE_UVISIONBUILD_H

#include "common/conversionoptions.h"
#include "model/target.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace Corvane {

// The block at the end of the .pro that makes Build (Qt Creator's, or qmake and make in a
// build folder) run uVision's batch build instead of the kit's compiler:
//   UV4.exe -b <project> -t "<target>" -j0 -o <build folder>/uvision.log
// then the log's diagnostics on stderr (a relative path at their start made absolute from
// the project's folder), its other lines on stdout, and UV4's exit status (0 and 1
// succeed). After make clean, the next build passes -r. "make flash" runs UV4 -f the same
// way into flash.log. Before µVision builds, a .pro older than its project is written again
// by corvane-cli with the options recorded here; GNU make then reruns qmake and goes on.
// UV4 and CORVANE are looked up when make runs. qmake -E and Qt Creator's parse (CONFIG
// qtc_run) see the targets' files and settings as before, and reading the .pro runs nothing.
struct UvisionBuild
{
    QString projectFile; // the project's file name; the .pro lies beside it
    // UV4 builds the target that UV_TARGET selects (a .pro with scopes), else this one;
    // empty when the project names no target: UV4 then builds its current one.
    bool selectedByUvTarget = false;
    QString target;
    // The Keil installation whose UV4\UV4.exe is the default, "D:/Keil_v5"; empty for none.
    QString installation;

    // What writing the .pro again passes to the converter.
    RewriteOptions rewrite;

    // The block, from "\r\n# Build with uVision\r\n" on; values written literally.
    QByteArray block() const;
};

// The installation that builds a project: C51's for a project of C51 targets only, MDK's
// for any other; the other one when that one is not known.
QString buildingInstallation(const QList<Target> &targets, const QString &mdkRoot,
                             const QString &c51Root);

} // namespace Corvane

#endif
