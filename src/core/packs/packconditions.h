#ifndef CORVANE_PACKCONDITIONS_H
#define CORVANE_PACKCONDITIONS_H

#include "packs/packdescription.h"

namespace Corvane {

// What a pack condition is evaluated against: the target's device, its compiler, and the
// components selected for it.
struct ConditionContext
{
    const PackDevice *device = nullptr; // unknown device: device terms hold
    bool armCompiler6 = false;          // Tcompiler="ARMCC" with Toptions AC6 or AC5
    QList<Attributes> components;
};

// Does the condition of that id hold? A condition holds when every <require> holds, at
// least one <accept> (if it has any) holds and no <deny> does; a term holds when all its
// attributes match. An empty id holds; an id the description lacks holds too.
bool conditionHolds(const PackDescription &description, const QString &id,
                    const ConditionContext &context);

// Do the component attributes asked for (Cclass, Cgroup, Csub, Cvariant, Cvendor ...)
// match a component's? Values may use the wildcards * and ?; version attributes are not
// compared.
bool componentMatches(const Attributes &wanted, const Attributes &component);

} // namespace Corvane

#endif
