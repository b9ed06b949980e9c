#ifndef CORVANE_OUTPUTFILE_H
#define CORVANE_OUTPUTFILE_H

#include "common/conversionstatus.h"
#include "common/savedfile.h"

#include <QFile>

namespace Corvane {

// The steps every run shares around its text: the input opened, the .pro written beside it.

// The checks a project or workspace path passes before it is opened: it names something
// (else EmptyPath), of the kind the run takes (`rightKind`; else WrongPath), whose .pro is
// not the input itself through a link (WrongPath). Sets outputPath once it is known.
ConversionStatus checkInputPath(const QString &path, bool rightKind, QString *outputPath);

// Opens a project or workspace for reading: Converted when it is open, else
// ProjectOpenFailed. Only a regular file can be one: opening a FIFO blocks until someone
// writes to it, and a device such as /dev/zero never ends.
ConversionStatus openInput(QFile &input);

} // namespace Corvane

#endif
