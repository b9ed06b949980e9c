#ifndef CORVANE_CONVERSION_H
#define CORVANE_CONVERSION_H

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace Corvane {

// How a conversion run ended. Each value maps to one message the user sees.
enum class ConversionStatus {
    Converted,         // the .pro file is complete and in place
    EmptyPath,         // nothing to convert
    WrongPath,         // not a uVision project path, or the .pro would replace the project
    ProjectOpenFailed, // the project file cannot be opened
    ProjectReadFailed, // reading stopped before the end of the project file
    OutputFailed,      // the .pro file cannot be created, written or put in place
    UnknownTarget,     // the target asked for as the default is not in the project
};

struct ConversionOptions
{
    // Time shown in the banner; an invalid value means the local time of the run.
    QDateTime timestamp;
    // The target a project of several targets selects by default; empty for its first.
    QString target;
    // Where CMSIS packs are installed (see uvisioninstallation.h); empty for none.
    QString packRoot;
    // Where packRoot came from, named in the notices about packs it lacks: "--pack-root",
    // "CMSIS_PACK_ROOT", "RTEPATH in D:\Keil_v5\TOOLS.INI" …; empty to name nothing.
    QString packRootOrigin;
    // The Keil installations uVision compiles with, "D:/Keil_v5" ('/' separators): MDK's
    // (the parent of its ARM folder) and C51's (the parent of its C51 folder). Empty when
    // none is installed or none is to be used.
    QString mdkRoot;
    QString c51Root;
};

struct ConversionResult
{
    ConversionStatus status = ConversionStatus::EmptyPath;
    // Where the .pro file goes; empty when the path was rejected before it was formed.
    QString outputPath;
    // The project's targets, once it was read.
    QStringList targets;
    // What targets asked for and was not found: packs not installed, descriptions that
    // cannot be read, devices a pack does not describe. One sentence each; the run still
    // succeeds without them.
    QStringList notices;

    bool succeeded() const { return status == ConversionStatus::Converted; }
    QString message() const;
};

// The text shown to the user for a status (all texts are the tool's Chinese messages).
QString statusMessage(ConversionStatus status);

// The .pro path for a project path: the project's directory, the platform's separator and
// the file name without its suffix, plus ".pro".
QString outputPathFor(const QString &projectPath);

// Whether the .pro path names the input file itself: the same path, or a link to it.
bool sameFile(const QString &projectPath, const QString &outputPath);

// Converts one uVision project file into a qmake project file beside it. The previous
// .pro file is replaced only when the whole run succeeds.
ConversionResult convertProject(const QString &projectPath,
                                const ConversionOptions &options = ConversionOptions());

} // namespace Corvane

#endif
