#ifndef CORVANE_CONVERSIONOPTIONS_H
#define CORVANE_CONVERSIONOPTIONS_H

#include <QDateTime>
#include <QString>

namespace Corvane {

struct ConversionOptions
{
    // Time shown in the banner; an invalid value means the local time of the run.
    QDateTime timestamp;
    // The target a project of several targets selects by default; empty for its first.
    QString target;
    // Where CMSIS packs are installed (see reading/uvisioninstallation.h); empty for none.
    QString packRoot;
    // Where packRoot came from, named in the notices about packs it lacks: "--pack-root",
    // "CMSIS_PACK_ROOT", "RTEPATH in D:\Keil_v5\TOOLS.INI" …; empty to name nothing.
    QString packRootOrigin;
    // The Keil installations uVision compiles with, "D:/Keil_v5" ('/' separators): MDK's
    // (the parent of its ARM folder) and C51's (the parent of its C51 folder). Empty when
    // none is installed or none is to be used.
    QString mdkRoot;
    QString c51Root;
    // Also write compile_commands.json (see compiledb/databasefile.h): into this folder when
    // one is named (absolute), else where clangd finds it from every source.
    bool compileCommands = false;
    QString compileCommandsDir;

    // What Build needs to write the .pro again when the project is newer, besides the
    // options above: the corvane-cli that wrote it (empty to record none), and the pack root
    // when --pack-root named one (absolute; empty when the root came from the environment
    // or the installation, which are looked up again).
    QString converter;
    QString namedPackRoot;
};

// What Build passes to corvane-cli when it writes the .pro again (see qmake/uvisionbuild.h):
// the options of the first conversion it needs, recorded in the .pro.
struct RewriteOptions
{
    QString converter; // the corvane-cli; empty: none recorded
    QString target;    // --target; empty: none
    QString packRoot;  // --pack-root; empty: none
    bool compileCommands = false;
    QString compileCommandsDir; // --compile-commands-dir; empty: none

    static RewriteOptions of(const ConversionOptions &options)
    {
        return {options.converter, options.target, options.namedPackRoot, options.compileCommands,
                options.compileCommandsDir};
    }
};

} // namespace Corvane

#endif
