#include "conversion/workspaceconversion.h"

#include "conversion/outputfile.h"
#include "qmake/subdirswriter.h"
#include "reading/lettercase.h"
#include "reading/workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QSet>

namespace Corvane {

namespace {

// One spelling per file, for files that may not exist yet: its folder's canonical path
// and its name, or the file's own canonical path when it exists (a link).
QString fileKey(const QString &path)
{
    const QFileInfo info(path);
    QString key = info.canonicalFilePath();
    if (key.isEmpty()) {
        const QString dir = QDir(info.absolutePath()).canonicalPath();
        key = dir.isEmpty() ? QDir::cleanPath(info.absoluteFilePath())
                            : dir + QLatin1Char('/') + info.fileName();
    }
#ifdef Q_OS_WIN
    key = key.toCaseFolded();
#endif
    return key;
}

// The members converted, each once; `outputs` holds the .pro paths taken so far, with the
// member that writes each (none for the workspace's own files). `entries` gets their
// compile_commands.json entries.
QVector<WorkspaceMemberResult> convertMembers(const QString &workspaceDir,
                                              const QVector<WorkspaceMember> &members,
                                              const ConversionOptions &options,
                                              QHash<QString, QString> &outputs,
                                              QVector<ProjectEntries> &entries, Notices &notices)
{
    LetterCase disk(workspaceDir);
    QVector<WorkspaceMemberResult> results;
    QHash<QString, int> seen;
    for (const WorkspaceMember &member : members) {
        WorkspaceMemberResult result;
        result.path = memberProjectPath(workspaceDir, member.path);
        // A workspace written on Windows may name its member in another letter case.
        if (!QFileInfo::exists(result.path)) {
            const QString spelt = disk.onDisk(member.path);
            if (!spelt.isEmpty()) {
                notices.append({Notice::Kind::MemberOnDiskAs, {member.path, spelt}, {}});
                result.path = memberProjectPath(workspaceDir, spelt);
            }
        }
        result.active = member.active;
        const QString key = fileKey(result.path);
        const auto earlier = seen.constFind(key);
        if (earlier != seen.cend()) {
            results[*earlier].active = results[*earlier].active || member.active;
            continue;
        }
        seen.insert(key, results.size());
        const QString output = fileKey(outputPathFor(result.path));
        const auto taken = outputs.constFind(output);
        if (taken != outputs.cend()) {
            result.result.status =
                taken->isEmpty() ? ConversionStatus::WrongPath : ConversionStatus::OutputTaken;
            result.result.outputPath = outputPathFor(result.path);
            result.outputOwner = *taken;
        } else {
            ProjectEntries memberEntries;
            result.result = convertProject(result.path, options, &memberEntries);
            if (result.result.succeeded())
                outputs.insert(output, result.path);
            if (result.result.succeeded() && options.compileCommands)
                entries.append(memberEntries);
        }
        results.append(result);
    }
    return results;
}

// "WS.pro", unless a member would write that name ("WS.uvprojx" beside "WS.uvmpw"): then
// "WS_workspace.pro", or "WS_workspace_2.pro" … the first that no member writes.
QString workspaceOutputPath(const QString &workspacePath, const QString &outputPath,
                            const QVector<WorkspaceMember> &members)
{
    const QString workspaceDir = QFileInfo(workspacePath).path();
    QSet<QString> memberOutputs;
    for (const WorkspaceMember &member : members)
        memberOutputs.insert(fileKey(outputPathFor(memberProjectPath(workspaceDir, member.path))));
    if (!memberOutputs.contains(fileKey(outputPath)))
        return outputPath;
    const QString stem = outputPath.left(outputPath.size() - 4) + QLatin1String("_workspace");
    for (int n = 1;; ++n) {
        const QString path = stem + (n > 1 ? QLatin1Char('_') + QString::number(n) : QString()) +
                             QLatin1String(".pro");
        if (!memberOutputs.contains(fileKey(path)) && !sameFile(workspacePath, path))
            return path;
    }
}

} // namespace

QString WorkspaceMemberResult::failure() const
{
    if (result.status != ConversionStatus::OutputTaken)
        return result.message() +
               (result.reason.isEmpty() ? QString() : QLatin1Char(' ') + result.reason);
    return result.message() + QLatin1Char(' ') +
           QStringLiteral("%1 is the .pro of %2 as well")
               .arg(QDir::toNativeSeparators(result.outputPath),
                    QDir::toNativeSeparators(outputOwner));
}

bool isWorkspacePath(const QString &path)
{
    return path.endsWith(QLatin1String(".uvmpw"));
}

WorkspaceResult convertWorkspace(const QString &workspacePath, const ConversionOptions &options)
{
    WorkspaceResult result;
    QFile workspace(workspacePath);
    StepFailure failed =
        checkInputPath(workspacePath, isWorkspacePath(workspacePath), &result.outputPath);
    if (!failed)
        failed = openInput(workspace);
    if (failed) {
        result.status = *failed;
        return result;
    }
    const WorkspaceReading reading = readWorkspace(workspace);
    if (reading.outcome != ReadOutcome::EndOfInput) {
        result.status = ConversionStatus::ProjectReadFailed;
        return result;
    }
    workspace.close();

    const QFileInfo info(workspacePath);
    result.outputPath = workspaceOutputPath(workspacePath, result.outputPath, reading.members);

    // The workspace's .pro is opened before any member is converted: when it cannot be
    // written, nothing is.
    QSaveFile output(result.outputPath);
    if (!openOutput(output)) {
        result.status = ConversionStatus::OutputFailed;
        return result;
    }

    // One banner time for every file of the run.
    ConversionOptions memberOptions = options;
    memberOptions.target.clear();
    if (!memberOptions.timestamp.isValid())
        memberOptions.timestamp = QDateTime::currentDateTime();
    // No member's .pro may replace the workspace's, nor the workspace (through a link).
    QHash<QString, QString> outputs{{fileKey(result.outputPath), QString()},
                                    {fileKey(workspacePath), QString()}};
    QVector<ProjectEntries> entries;
    Notices memberNotices;
    result.members = convertMembers(info.path(), reading.members, memberOptions, outputs, entries,
                                    memberNotices);

    QVector<Subproject> subprojects;
    SourceEncodings encodings;
    const QDir dir(info.absolutePath());
    StepFailure firstFailure;
    for (const WorkspaceMemberResult &member : qAsConst(result.members)) {
        if (member.result.succeeded()) {
            subprojects.append(
                {dir.relativeFilePath(QDir::fromNativeSeparators(member.result.outputPath)),
                 member.active});
            encodings += member.result.encodings;
        } else if (!firstFailure) {
            firstFailure = member.result.status;
        }
    }
    if (subprojects.isEmpty()) {
        output.cancelWriting();
        // A workspace that names no project is no workspace.
        result.status = firstFailure.value_or(ConversionStatus::WrongPath);
        return result;
    }
    const QByteArray text = subdirsProject(memberOptions.timestamp, subprojects);
    if (output.write(text) != text.size()) {
        output.cancelWriting();
        result.status = ConversionStatus::OutputFailed;
        return result;
    }
    if (!commitOutput(output)) {
        result.status = ConversionStatus::OutputFailed;
        return result;
    }
    result.status = ConversionStatus::Converted;
    result.notices = memberNotices;
    result.shared = placeSharedSettings(result.outputPath, encodings, &result.notices);
    if (options.compileCommands) {
        const DatabaseOutcome database = writeCompileCommands(entries, options.compileCommandsDir);
        result.databases = database.files;
        result.notices += database.notices;
    }
    return result;
}

} // namespace Corvane
