#include "outputfile.h"

#include "conversion.h"

#include <QFileInfo>

namespace Corvane {

StepFailure checkInputPath(const QString &path, bool rightKind, QString *outputPath)
{
    if (path.isEmpty())
        return ConversionStatus::EmptyPath;
    if (!rightKind)
        return ConversionStatus::WrongPath;
    *outputPath = outputPathFor(path);
    if (sameFile(path, *outputPath))
        return ConversionStatus::WrongPath;
    return std::nullopt;
}

StepFailure openInput(QFile &input)
{
    if (!QFileInfo(input.fileName()).isFile() || !input.open(QIODevice::ReadOnly))
        return ConversionStatus::ProjectOpenFailed;
    return std::nullopt;
}

} // namespace Corvane
