#include "outputfile.h"

#include "conversion.h"

#include <QFileInfo>

namespace Corvane {

ConversionStatus checkInputPath(const QString &path, bool rightKind, QString *outputPath)
{
    if (path.isEmpty())
        return ConversionStatus::EmptyPath;
    if (!rightKind)
        return ConversionStatus::WrongPath;
    *outputPath = outputPathFor(path);
    return sameFile(path, *outputPath) ? ConversionStatus::WrongPath : ConversionStatus::Converted;
}

ConversionStatus openInput(QFile &input)
{
    if (!QFileInfo(input.fileName()).isFile() || !input.open(QIODevice::ReadOnly))
        return ConversionStatus::ProjectOpenFailed;
    return ConversionStatus::Converted;
}

} // namespace Corvane
