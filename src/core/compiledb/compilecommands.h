#ifndef CORVANE_COMPILECOMMANDS_H
#define CORVANE_COMPILECOMMANDS_H

#include "common/notice.h"
#include "packs/resolvedtarget.h"

#include <QJsonArray>
#include <QStringList>

namespace Corvane {

// The compilation database (compile_commands.json) entries of one target: one per C or
// C++ file the target compiles, each with the project's folder as "directory", the file as
// the project names it, the object uVision compiles it to as "output" (relative to the
// project's folder, see objectFolder()), and clang's arguments as a list: armclang's target flags,
// the language standard, Arm Compiler 5's keywords for its targets, every define and include folder
// of the view, the Keil compiler's own include folder last, when `mdkRoot` (the installation,
// "D:/Keil_v5") has it. Each value is one argument, whatever it holds. A target of another toolset
// (C51) gets no entries and a notice.
QJsonArray compileCommands(const ResolvedTarget &resolved, const QString &projectDir,
                           const QString &mdkRoot, Notices *notices);

// Where uVision puts a target's objects, as "output" names them: its OutputDirectory, relative
// to the project's folder unless absolute, '/' separators, "." for the project's folder.
QString objectFolder(const Target *target);

} // namespace Corvane

#endif
