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

} // namespace Corvane
