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

namespace {

void addDefines(QStringList &list, const QString &value)
{
    for (const QString &item : defineItems(value))
        appendOnce(list, item);
}

void addIncludes(QStringList &list, const QString &value)
{
    for (const QString &entry : value.split(QLatin1Char(';')))
        appendOnce(list, cleanIncludeEntry(entry));
}

} // namespace

CompilerView compilerView(const ResolvedTarget &target)
{
    CompilerView view;
    for (const Target *part : {target.leading, target.target}) {
        if (!part)
            continue;
        // A group's settings go to each of its files; a file's own follow its FilePath.
        CSettings group;
        QStringList groupDefines;
        QStringList groupIncludes;
        const int first = view.sources.size();
        QVector<int> fileSettings;
        bool source = false; // the file whose options are read is a source
        for (const TargetValue &value : part->values) {
            const bool c = value.tool != OptionTool::Assembler && value.tool != OptionTool::Linker;
            const bool ownFile = value.level == OptionLevel::File && source;
            switch (value.kind) {
            case TargetValue::Group:
                group = part->cSettings.value(value.settings);
                groupDefines.clear();
                groupIncludes.clear();
                break;
            case TargetValue::Define:
                if (c && value.level == OptionLevel::Target)
                    addDefines(view.defines, value.text);
                else if (c && value.level == OptionLevel::Group)
                    addDefines(groupDefines, value.text);
                else if (c && ownFile)
                    addDefines(view.sources.last().defines, value.text);
                break;
            case TargetValue::IncludePath:
                if (c && value.level == OptionLevel::Target)
                    addIncludes(view.includeFolders, value.text);
                else if (c && value.level == OptionLevel::Group)
                    addIncludes(groupIncludes, value.text);
                else if (c && ownFile)
                    addIncludes(view.sources.last().includeFolders, value.text);
                break;
            case TargetValue::File:
                source = value.list == FileList::Sources && !value.text.isEmpty();
                if (source) {
                    CompiledFile file;
                    file.path = value.text;
                    file.fileType = value.fileType;
                    file.settings = group;
                    file.defines = groupDefines;
                    file.includeFolders = groupIncludes;
                    view.sources.append(file);
                    fileSettings.append(value.settings);
                }
                break;
            case TargetValue::Device:
                break;
            }
        }
        for (int i = first; i < view.sources.size(); ++i) {
            CompiledFile &file = view.sources[i];
            file.settings = target.target->c.with(file.settings)
                                .with(part->cSettings.value(fileSettings.at(i - first)));
        }
    }
    for (const QString &define : target.additions.defines)
        appendOnce(view.defines, define);
    for (const QString &folder : target.additions.includeFolders + target.additions.packFolders)
        appendOnce(view.includeFolders, folder);
    for (const QString &path : target.additions.sources) {
        CompiledFile file;
        file.path = path;
        file.settings = target.target->c;
        view.sources.append(file);
    }
    return view;
}

} // namespace Corvane
