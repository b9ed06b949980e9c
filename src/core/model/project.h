#ifndef CORVANE_PROJECT_H
#define CORVANE_PROJECT_H

#include "model/rte.h"
#include "model/target.h"

#include <QList>
#include <QStringList>

namespace Corvane {

// A uVision project as one reading of its file finds it; every output is rendered from it.
struct Project
{
    // In project order. Values met before any TargetName go to a first, unnamed target: the
    // .pro writes them before the scopes, so they belong to every target.
    QList<Target> targets;
    RteSection rte;

    // The names of the targets, as the .pro's scopes use them (non-empty TargetName values).
    QStringList targetNames() const;
    // A project of two or more targets gets one qmake scope per target.
    bool hasScopes() const { return targetNames().size() >= 2; }
    // The first target of that name; a project without names has its unnamed one. Null when
    // there is none.
    const Target *target(const QString &name) const;
    // The first named target, the one a .pro selects by default; 0 when none is named.
    int firstNamedTarget() const;
};

} // namespace Corvane

#endif
