#ifndef CORVANE_RESOLVEDTARGET_H
#define CORVANE_RESOLVEDTARGET_H

#include "model/project.h"
#include "packs/targetadditions.h"

#include <QString>
#include <QVector>

namespace Corvane {

// One target as every output sees it: the values that apply to it, what uVision adds to it,
// and whether the .pro selects it by default.
struct ResolvedTarget
{
    // Whose options decide the compiler: a named target, or the values of a project that
    // names none.
    const Target *target = nullptr;
    // The values met before the first target, when there are any: they apply to every
    // target, before its own (the .pro writes them once, before the scopes).
    const Target *leading = nullptr;
    TargetAdditions additions;
    bool selected = false; // UV_TARGET's default

    // Every value that applies, in project order.
    template <typename F> void forEachValue(F f) const
    {
        for (const Target *part : {leading, target}) {
            if (part) {
                for (const TargetValue &value : part->values)
                    f(value);
            }
        }
    }
};

// A project's targets as the .pro lays them out: with two or more named targets, one scope
// each; else one target for the whole project, its values and those before it.
struct ResolvedProject
{
    bool scopes = false;
    const Target *leading = nullptr; // the values before the first target; null when none
    QVector<ResolvedTarget> targets; // empty for a project without any value
    Notices notices;                 // what the additions could not find

    const ResolvedTarget *selected() const;
};

// Resolves the project once: which values apply to which target, with what `finder` adds to
// each target in project order, `defaultTarget` (a named target, or empty for the first)
// selected.
ResolvedProject resolveProject(const Project &project, AdditionFinder &finder,
                               const QString &defaultTarget);

// Whether a value counts for the C compiler: the target's own, not an assembler's or a
// linker's; groups' and files' settings count for their files only.
inline bool isTargetCValue(const TargetValue &value)
{
    return value.level == OptionLevel::Target && value.tool != OptionTool::Assembler &&
           value.tool != OptionTool::Linker;
}

// What a target's compiler gets from its values and additions, each once in the .pro's
// order: its define items, its include folders (the project's as it names them, then
// uVision's), and the files it compiles, each with what its group and its own options add.
struct CompiledFile
{
    QString path;        // as the project names it, '/' separators
    quint8 fileType = 0; // its FileType; 0 for a file uVision adds
    CSettings settings;  // the target's, with its group's and its own on top
    // Its group's and its own defines and include folders, beyond the target's.
    QStringList defines;
    QStringList includeFolders;
};

struct CompilerView
{
    QStringList defines;
    QStringList includeFolders;
    QVector<CompiledFile> sources;
};

CompilerView compilerView(const ResolvedTarget &target);

} // namespace Corvane

#endif
