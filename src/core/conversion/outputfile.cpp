#include "conversion/outputfile.h"

#include <QDir>
#include <QFileInfo>

namespace Corvane {

// Does the .pro path name the project file itself (a project called "a.uvproj.pro", or a
// link to it)? Writing it would destroy the project.
bool sameFile(const QString &projectPath, const QString &outputPath)
{
    const QFileInfo project(projectPath);
    const QFileInfo output(outputPath);
    if (QDir::cleanPath(project.absoluteFilePath()) == QDir::cleanPath(output.absoluteFilePath()))
        return true;
    return project.exists() && output.exists() &&
           project.canonicalFilePath() == output.canonicalFilePath();
}

QString outputPathFor(const QString &projectPath)
{
    const QFileInfo info(projectPath);
    QString baseName = info.fileName();
    // Every ".suffix" goes, so "fw.uvproj.uvproj" gives "fw"; a name ending in a dot has an
    // empty suffix and loses all its dots.
    baseName.remove(QLatin1Char('.') + info.suffix());
    return info.absolutePath() + QDir::separator() + baseName + QLatin1String(".pro");
}

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
