#ifndef CORVANE_DISKSPELLING_H
#define CORVANE_DISKSPELLING_H

#include "common/notice.h"
#include "model/project.h"

namespace Corvane {

// The files and include folders of the project that are not on disk as spelt, but in one
// other letter case only (see LetterCase), spelt as the disk has them; a notice for each.
// Where several match, nothing changes.
Notices spellAsOnDisk(Project &project, const QString &projectDir);

} // namespace Corvane

#endif
