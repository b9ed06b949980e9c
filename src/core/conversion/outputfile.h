#ifndef CORVANE_OUTPUTFILE_H
#define CORVANE_OUTPUTFILE_H

#include "common/conversionstatus.h"
#include "common/savedfile.h"

#include <QFile>

#include <optional>

namespace Corvane {

// The steps every run shares around its text: the input opened, the .pro written beside it.

// The .pro path for a project path: the project's directory, the platform's separator and
// the file name without its suffix, plus ".pro".
QString outputPathFor(const QString &projectPath);

// Whether the .pro path names the input file itself: the same path, or a link to it.
bool sameFile(const QString &projectPath, const QString &outputPath);

// Each step gives the failure it ends the run with, or nothing when the run goes on.
using StepFailure = std::optional<ConversionStatus>;

// The checks a project or workspace path passes before it is opened: it names something
// (else EmptyPath), of the kind the run takes (`rightKind`; else WrongPath), whose .pro is
// not the input itself through a link (WrongPath). Sets outputPath once it is known.
StepFailure checkInputPath(const QString &path, bool rightKind, QString *outputPath);

// Opens a project or workspace for reading, else ProjectOpenFailed with why in `reason`
// ("not found", "not a file", "not readable"). Only a regular file can be one: opening a
// FIFO blocks until someone writes to it, and a device such as /dev/zero never ends.
StepFailure openInput(QFile &input, QString *reason = nullptr);

} // namespace Corvane

#endif
