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

StepFailure openInput(QFile &input, QString *reason)
{
    const QFileInfo info(input.fileName());
    QString why;
    if (!info.exists())
        why = QStringLiteral("not found");
    else if (!info.isFile())
        why = QStringLiteral("not a file");
    else if (!input.open(QIODevice::ReadOnly))
        why = QStringLiteral("not readable");
    else
        return std::nullopt;
    if (reason)
        *reason = why;
    return ConversionStatus::ProjectOpenFailed;
}

} // namespace Corvane
