#ifndef CORVANE_CONVERSIONSTATUS_H
#define CORVANE_CONVERSIONSTATUS_H

#include <QString>

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
    OutputTaken,       // another member of the workspace writes the same .pro
};

// The text shown to the user for a status (all texts are the tool's Chinese messages).
QString statusMessage(ConversionStatus status);

} // namespace Corvane

#endif
