#include "qmake/prorenderer.h"

#include "model/compilerkeywords.h"
#include "qmake/prowriter.h"
#include "qmake/uvisionbuild.h"

#include <QDir>

namespace Corvane {

namespace {

// What uVision adds to a target by itself, in a block of its own at the end of the target.
void writeAdditions(ProWriter &writer, const TargetAdditions &additions, const QString &packRoot)
{
    if (additions.isEmpty())
        return;
    QStringList origins;
    if (additions.fromRte)
        origins.append(QStringLiteral("its Run-Time Environment"));
    if (additions.fromPacks)
        origins.append(QStringLiteral("CMSIS packs in ") + QDir::toNativeSeparators(packRoot));
    if (!additions.fromInstallation.isEmpty())
        origins.append(additions.fromInstallation);
    writer.addition(QStringLiteral("Added by uVision for this target: ") +
                        origins.join(QStringLiteral(" and ")),
                    additions.defines, additions.includeFolders, additions.packFolders,
                    additions.headers, additions.sources);
}

// At the end of an Arm Compiler 5 target: its keywords for the code model, which otherwise
// marks valid code such as __align(8) as errors.
void writeKeywords(ProWriter &writer, const Target &target)
{
    if (target.armCompiler5())
        writer.codeModelDefines(armCompiler5Keywords());
}

// Last in a target: where Qt Creator's Run and Debug find the program uVision links.
void writeLinkedProgram(ProWriter &writer, const Target &target)
{
    if (target.linksProgram())
        writer.linkedProgram(target.outputDirectory, target.outputName);
}

void writeValues(ProWriter &writer, const Target &target)
{
    for (const TargetValue &value : target.values) {
        switch (value.kind) {
        case TargetValue::Device:
            writer.device(value.text);
            break;
        // The C compiler's settings of the target: a group's or a file's are for its files
        // only (compile_commands.json has them), an assembler's for none of them.
        case TargetValue::Define:
            if (isTargetCValue(value))
                writer.defines(value.text);
            break;
        case TargetValue::IncludePath:
            if (isTargetCValue(value))
                writer.includes(value.text);
            break;
        case TargetValue::Group:
            break;
        case TargetValue::File:
            if (value.text.isEmpty())
                break;
            if (value.list == FileList::Sources)
                writer.source(value.text);
            else
                writer.groupFile(value.list, value.text);
            break;
        }
    }
}

} // namespace

bool renderProjectFile(const Project &project, const ResolvedProject &resolved,
                       const ProRendering &rendering, HeaderScanner &headers, QIODevice &output)
{
    ProWriter writer(output, headers);
    writer.banner(rendering.time);
    const QStringList names = project.targetNames();
    if (resolved.leading)
        writeValues(writer, *resolved.leading);
    writer.shareSeen();
    if (resolved.scopes) {
        // The files of what precedes the first target end here.
        writer.targetFilesEnd();
        writer.scopeDefault(resolved.selected()->target->name);
        writer.targetNumbers(names);
    }
    for (const ResolvedTarget &target : resolved.targets) {
        if (resolved.scopes)
            writer.openScope(target.target->name);
        if (target.target != resolved.leading)
            writeValues(writer, *target.target);
        writer.targetFilesEnd();
        writeAdditions(writer, target.additions, rendering.packRoot);
        writeKeywords(writer, *target.target);
        writeLinkedProgram(writer, *target.target);
        if (resolved.scopes)
            writer.closeScope();
    }
    if (resolved.scopes)
        writer.targetCheck(names);
    if (!rendering.projectFile.isEmpty()) {
        UvisionBuild build;
        build.projectFile = rendering.projectFile;
        build.selectedByUvTarget = project.hasScopes();
        if (!names.isEmpty())
            build.target = names.first();
        build.installation =
            buildingInstallation(project.targets, rendering.mdkRoot, rendering.c51Root);
        build.rewrite = rendering.rewrite;
        writer.uvisionBuild(build);
    }
    writer.closing();
    return !writer.failed();
}

} // namespace Corvane
