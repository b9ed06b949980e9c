#include "packs/resolvedtarget.h"

#include "reading/projectvalues.h"

namespace Corvane {

namespace {

void appendOnce(QStringList &list, const QString &value)
{
    if (!value.isEmpty() && !list.contains(value))
        list.append(value);
}

} // namespace

const ResolvedTarget *ResolvedProject::selected() const
{
    for (const ResolvedTarget &target : targets) {
        if (target.selected)
            return &target;
    }
    return nullptr;
}

ResolvedProject resolveProject(const Project &project, AdditionFinder &finder,
                               const QString &defaultTarget)
{
    ResolvedProject resolved;
    if (project.targets.isEmpty())
        return resolved;
    resolved.scopes = project.hasScopes();
    const Target &first = project.targets.first();
    // Only the values before the first TargetName have no name.
    const bool leading = first.name.isEmpty() && project.targets.size() > 1;
    resolved.leading = leading ? &first : nullptr;
    if (resolved.scopes) {
        for (const Target &target : project.targets) {
            if (target.name.isEmpty())
                continue;
            ResolvedTarget t;
            t.target = &target;
            t.leading = resolved.leading;
            t.additions = finder.additionsFor(target.name);
            t.selected = target.name == defaultTarget;
            resolved.targets.append(t);
        }
    } else {
        ResolvedTarget t;
        t.target = &project.targets.at(project.firstNamedTarget());
        t.leading = resolved.leading;
        t.additions = finder.additionsFor(t.target->name);
        resolved.targets.append(t);
    }
    if (!resolved.selected())
        resolved.targets.first().selected = true;
    resolved.notices = finder.notices();
    return resolved;
}

CompilerView compilerView(const ResolvedTarget &target)
{
    CompilerView view;
    target.forEachValue([&view](const TargetValue &value) {
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
    });
    for (const QString &define : target.additions.defines)
        appendOnce(view.defines, define);
    for (const QString &folder : target.additions.includeFolders + target.additions.packFolders)
        appendOnce(view.includeFolders, folder);
    for (const QString &path : target.additions.sources)
        view.sources.append({path, 0});
    return view;
}

} // namespace Corvane
