#ifndef CORVANE_PROJECTSURVEY_H
#define CORVANE_PROJECTSURVEY_H

#include "linereader.h"
#include "rte.h"
#include "target.h"

#include <QIODevice>
#include <QList>

namespace Corvane {

// What a first pass over a project finds out before the .pro is written: its targets, the
// files each builds, and its Run-Time Environment. They decide what goes where in the
// .pro: the scope of each target, the list each file goes to, and what uVision adds to a
// target at the end of it.
struct ProjectSurvey
{
    // In project order. Values met before any TargetName go to a first, unnamed target.
    QList<Target> targets;
    RteSection rte;

    // The names of the targets, as the .pro's scopes use them (non-empty TargetName values).
    QStringList targetNames() const;
    // A project of two or more targets gets one qmake scope per target.
    bool hasScopes() const { return targetNames().size() >= 2; }
};

// Reads the project once; its size in memory is that of the targets and the RTE section,
// not that of the file.
ReadOutcome surveyProject(QIODevice &project, ProjectSurvey &survey);

} // namespace Corvane

#endif
