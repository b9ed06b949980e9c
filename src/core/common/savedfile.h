#ifndef CORVANE_SAVEDFILE_H
#define CORVANE_SAVEDFILE_H

#include <QSaveFile>

namespace Corvane {

// Every file a run writes replaces the old one only once it is complete.

// Opens output.fileName() to replace the old file once complete. A file the user made
// read-only stays as it is, whoever runs the tool.
bool openOutput(QSaveFile &output);

// Puts the complete file in place of the old one. QSaveFile::commit() ignores a failure to
// write out its buffer (a full disk, with a file small enough to sit in the buffer until
// then) and would put a short file in place of the old one, so the buffer is written out
// and checked first.
bool commitOutput(QSaveFile &output);

} // namespace Corvane

#endif
