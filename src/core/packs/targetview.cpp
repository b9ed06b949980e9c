#include "packs/targetview.h"

#include "reading/projectvalues.h"

namespace Corvane {

namespace {

void appendOnce(QStringList &list, const QString &value)
{
    if (!value.isEmpty() && !list.contains(value))
        list.append(value);
}

void addValues(const Target &target, TargetView &view)
{
    for (const TargetValue &value : target.values) {
        switch (value.kind) {
        case TargetValue::Define:
            for (const QString &item : defineItems(value.text))
                appendOnce(view.defines, item);
            break;
        case TargetValue::IncludePath:
            for (const QString &entry : value.text.split(QLatin1Char(';')))
                appendOnce(view.includeFolders, cleanIncludeEntry(entry));
            break;
        case TargetValue::File:
            if (value.list == FileList::Sources && !value.text.isEmpty())
                view.sources.append({value.text, value.fileType});
            break;
        case TargetValue::Device:
            break;
        }
    }
}

} // namespace

TargetView targetView(const Project &project, const QVector<TargetAdditions> &additions,
                      const QString &defaultTarget)
{
    TargetView view;
    if (project.targets.isEmpty())
        return view;
    int selected = project.firstNamedTarget();
    if (project.hasScopes()) {
        // The values before the first target belong to every target.
        for (int i = 0; i < project.targets.size() && !defaultTarget.isEmpty(); ++i) {
            if (project.targets.at(i).name == defaultTarget) {
                selected = i;
                break;
            }
        }
        if (project.targets.first().name.isEmpty())
            addValues(project.targets.first(), view);
        addValues(project.targets.at(selected), view);
    } else {
        for (const Target &target : project.targets)
            addValues(target, view);
    }
    view.target = &project.targets.at(selected);
    const TargetAdditions &added = additions.at(selected);
    for (const QString &define : added.defines)
        appendOnce(view.defines, define);
    for (const QString &folder : added.includeFolders + added.packFolders)
        appendOnce(view.includeFolders, folder);
    for (const QString &path : added.sources)
        view.sources.append({path, 0});
    return view;
}

} // namespace Corvane
