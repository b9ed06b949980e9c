#ifndef CORVANE_COMPILECOMMANDS_H
#define CORVANE_COMPILECOMMANDS_H

#include "packs/targetview.h"

#include <QByteArray>
#include <QStringList>

namespace Corvane {

// The compilation database (compile_commands.json) of one target's view: an entry per C or
// C++ file the target compiles, each with the project's folder as "directory", the file as
// the project names it, and clang's arguments as a list: armclang's target flags, the
// language standard, Arm Compiler 5's keywords for its targets, every define and include
// folder of the view, the Keil compiler's own include folder last, when `mdkRoot` (the
// installation, "D:/Keil_v5") has it. Each value is one argument, whatever it holds. A
// target of another toolset (C51) gets no entries and a notice.
QByteArray compileCommands(const TargetView &view, const QString &projectDir,
                           const QString &mdkRoot, QStringList *notices);

} // namespace Corvane

#endif
