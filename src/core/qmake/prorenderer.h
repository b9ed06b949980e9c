#ifndef CORVANE_PRORENDERER_H
#define CORVANE_PRORENDERER_H

#include "common/conversionoptions.h"
#include "model/project.h"
#include "packs/resolvedtarget.h"

#include <QDateTime>
#include <QIODevice>
#include <QVector>

namespace Corvane {

class HeaderScanner;

struct ProRendering
{
    QDateTime time;      // shown in the banner
    QString packRoot;    // named in the comment of what packs add to a target
    QString projectFile; // the project's file name, for the block that builds it with
                         // uVision; empty for no such block
    QString mdkRoot;     // the Keil installations, "D:/Keil_v5"; empty for none
    QString c51Root;
    RewriteOptions rewrite; // what Build writes the .pro again with
};

// Writes the .pro of a project: the banner, every target's values in project order (each
// target in a scope of its own when there are several), what uVision adds to a target at
// the end of it, the UV_TARGET check and the block that builds with uVision. Include folders
// are listed for headers through `headers`. False when writing to the device failed.
bool renderProjectFile(const Project &project, const ResolvedProject &resolved,
                       const ProRendering &rendering, HeaderScanner &headers, QIODevice &output);

} // namespace Corvane

#endif
