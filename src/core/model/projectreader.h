#ifndef CORVANE_PROJECTREADER_H
#define CORVANE_PROJECTREADER_H

#include "model/project.h"
#include "reading/linereader.h"

#include <QIODevice>

namespace Corvane {

// Reads a uVision project into its model in one pass over its lines, from the device's
// current position to its end; the device need not be able to seek. Memory follows the
// values the project holds and its longest line, not the size of the file.
ReadOutcome readProject(QIODevice &device, Project &project);

} // namespace Corvane

#endif
