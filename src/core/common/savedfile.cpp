#include "common/savedfile.h"

#include <QFileInfo>

namespace Corvane {

bool openOutput(QSaveFile &output)
{
    const QFileInfo existing(output.fileName());
    if (existing.exists() && !existing.isDir() &&
        !(existing.permissions() & QFileDevice::WriteOwner))
        return false;
    return output.open(QIODevice::WriteOnly);
}

bool commitOutput(QSaveFile &output)
{
    if (!output.flush()) {
        output.cancelWriting();
        return false;
    }
    return output.commit();
}

} // namespace Corvane
