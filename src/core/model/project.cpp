#include "model/project.h"

namespace Corvane {

QStringList Project::targetNames() const
{
    QStringList names;
    for (const Target &target : targets) {
        if (!target.name.isEmpty())
            names.append(target.name);
    }
    return names;
}

const Target *Project::target(const QString &name) const
{
    for (const Target &target : targets) {
        if (target.name == name)
            return &target;
    }
    return nullptr;
}

int Project::firstNamedTarget() const
{
    for (int i = 0; i < targets.size(); ++i) {
        if (!targets.at(i).name.isEmpty())
            return i;
    }
    return 0;
}

} // namespace Corvane
