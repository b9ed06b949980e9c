#include "conversion/conversion.h"

#include "conversion/outputfile.h"
#include "conversion/projectconverter.h"
#include "qmake/sharedsettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace Corvane {

QString ConversionResult::message() const
{
    return statusMessage(status);
}

WrittenFile placeSharedSettings(const QString &proPath, const SourceEncodings &encodings,
                                Notices *notices)
{
    const QByteArray codec = encodings.majorityCodec();
    const QString shared = QFileInfo(proPath).fileName() + QLatin1String(".shared");
    const QString sources = codec.isEmpty() ? QStringLiteral("UTF-8") : QString::fromLatin1(codec);
    WrittenFile file;
    if (!codec.isEmpty())
        file.path = proPath + QLatin1String(".shared");
    switch (updateSharedSettings(proPath, codec)) {
    case SharedSettingsOutcome::Foreign:
        notices->append({Notice::Kind::SharedSettingsForeign, {shared, sources}, {}});
        file.reason = QStringLiteral("was not written by Corvane and stays as it is");
        break;
    case SharedSettingsOutcome::Failed:
        notices->append({Notice::Kind::SharedSettingsFailed, {shared, sources}, {}});
        file.reason = QStringLiteral("cannot be written or removed");
        break;
    default:
        file.written = !codec.isEmpty();
        break;
    }
    return file;
}

ConversionResult convertProject(const QString &projectPath, const ConversionOptions &options)
{
    ProjectEntries entries;
    ConversionResult result = convertProject(projectPath, options, &entries);
    if (!result.succeeded() || !options.compileCommands)
        return result;
    const DatabaseOutcome database = writeCompileCommands({entries}, options.compileCommandsDir);
    result.database = database.files.value(0);
    result.notices += database.notices;
    return result;
}

ConversionResult convertProject(const QString &projectPath, const ConversionOptions &options,
                                ProjectEntries *entries)
{
    ConversionResult result;
    // Anywhere in the path, as in "fw.uvprojx.bak" or a directory named "x.uvproj".
    const bool projectFile = projectPath.contains(QLatin1String(".uvprojx")) ||
                             projectPath.contains(QLatin1String(".uvproj"));
    QFile project(projectPath);
    StepFailure failed = checkInputPath(projectPath, projectFile, &result.outputPath);
    if (!failed)
        failed = openInput(project, &result.reason);
    if (failed) {
        result.status = *failed;
        return result;
    }
    // The new .pro replaces the old one only once it is complete.
    QSaveFile output(result.outputPath);
    if (!openOutput(output)) {
        result.status = ConversionStatus::OutputFailed;
        return result;
    }

    const QDateTime time =
        options.timestamp.isValid() ? options.timestamp : QDateTime::currentDateTime();
    ProjectConverter converter(QFileInfo(projectPath).absolutePath(), time);
    converter.setDefaultTarget(options.target);
    converter.setPackRoot(options.packRoot, options.packRootOrigin);
    converter.setUvisionBuild(QFileInfo(projectPath).fileName(), options.mdkRoot, options.c51Root);
    converter.setRewrite(RewriteOptions::of(options));
    result.status = converter.convert(project, output);
    result.targets = converter.project().targetNames();
    result.notices = converter.notices();
    result.encodings = converter.encodings();
    if (result.status != ConversionStatus::Converted) {
        output.cancelWriting();
        return result;
    }
    if (!commitOutput(output)) {
        result.status = ConversionStatus::OutputFailed;
        return result;
    }
    if (options.compileCommands)
        *entries = converter.compileCommands(&result.notices);
    // Beside the .pro: Qt Creator's shared settings, for sources in an ANSI code page.
    result.shared = placeSharedSettings(result.outputPath, result.encodings, &result.notices);
    return result;
}

} // namespace Corvane
