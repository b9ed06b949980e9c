#ifndef CORVANE_TARGETVIEW_H
#define CORVANE_TARGETVIEW_H

#include "model/project.h"
#include "packs/targetadditions.h"

#include <QStringList>
#include <QVector>

namespace Corvane {

// A file the target compiles.
struct CompiledFile
{
    QString path;        // as the project names it, '/' separators
    quint8 fileType = 0; // FileType; 0 for a file uVision adds
};

// What the .pro gives the target it selects by default: the values before the first target,
// the target's own and what uVision adds to it, each list in the .pro's order.
struct TargetView
{
    // Whose options decide the compiler: the selected target, or the unnamed values of a
    // project without targets. Null for a project without any value.
    const Target *target = nullptr;
    QStringList defines;        // each define item of the .pro once
    QStringList includeFolders; // each once: the project's as it names them, then uVision's
    QVector<CompiledFile> sources;
};

// The view of the target that `defaultTarget` names (empty for the first) with the additions
// findAdditions() placed (an entry per target, at least one).
TargetView targetView(const Project &project, const QVector<TargetAdditions> &additions,
                      const QString &defaultTarget);

} // namespace Corvane

#endif
