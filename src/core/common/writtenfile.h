#ifndef CORVANE_WRITTENFILE_H
#define CORVANE_WRITTENFILE_H

#include <QString>

namespace Corvane {

// A file a run puts in place beside (or above) the project: where, whether it is there now,
// and why not when it is not.
struct WrittenFile
{
    QString path;
    bool written = false;
    QString reason; // empty when written
};

} // namespace Corvane

#endif
