#ifndef CORVANE_PRORENDERER_H
#define CORVANE_PRORENDERER_H

#include "model/project.h"
#include "packs/targetadditions.h"

#include <QDateTime>
#include <QIODevice>
#include <QVector>

namespace Corvane {

class HeaderScanner;

struct ProRendering
{
    QDateTime time;        // shown in the banner
    QString defaultTarget; // the target UV_TARGET selects when not set; empty for the first
    QString packRoot;      // named in the comment of what packs add to a target
    QString projectFile;   // the project's file name, for the block that builds it with
                           // uVision; empty for no such block
    QString mdkRoot;       // the Keil installations, "D:/Keil_v5"; empty for none
    QString c51Root;
    QString converter;            // the corvane-cli Build writes the .pro again with; empty: none
    QString namedPackRoot;        // the --pack-root it passes; empty: none
    bool compileCommands = false; // whether it passes --compile-commands
    QString compileCommandsDir;   // ... and --compile-commands-dir; empty: none
};

// Which target the additions of a project without scopes belong to: the named one, or the
// values before any TargetName; 0 for a project without targets.
int unscopedTarget(const Project &project);

// Writes the .pro of a project: the banner, every target's values in project order (each
// target in a scope of its own when there are several), what uVision adds to a target at
// the end of it, the UV_TARGET check and the block that builds with uVision. `additions`
// has an entry per target, at least one (see unscopedTarget). Include folders are listed
// for headers through `headers`. False when writing to the device failed.
bool renderProjectFile(const Project &project, const QVector<TargetAdditions> &additions,
                       const ProRendering &rendering, HeaderScanner &headers, QIODevice &output);

} // namespace Corvane

#endif
