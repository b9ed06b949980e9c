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
