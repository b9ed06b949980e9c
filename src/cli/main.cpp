// corvane-cli: converts uVision project files given on the command line, exactly as the
// window's Generate button does, for scripts and machines without a display; with --watch,
// again whenever they change.

#include "consoleoutput.h"
#include "conversion/conversion.h"
#include "conversion/workspaceconversion.h"
#include "reading/uvisioninstallation.h"
#include "watch.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTimeZone>

#include <cstdio>

namespace {

enum ExitCode { AllConverted = 0, SomeFailed = 1, UsageError = 2 };

void print(FILE *stream, const QString &text)
{
    writeLine(stream, text);
}

// How findings reach the user: "PROJECT_FILE: text" on stderr, or with --diagnostics as a
// compiler's diagnostic on the project file, which IDEs (Qt Creator's Issues pane) list.
struct Report
{
    bool diagnostics = false;

    void notice(const QString &project, const Corvane::Notice &notice) const
    {
        if (notice.isRemark())
            remark(project, Corvane::noticeText(notice));
        else
            line(project, QStringLiteral("warning"), Corvane::noticeText(notice));
    }
    void notices(const QString &project, const Corvane::Notices &notices) const
    {
        for (const Corvane::Notice &n : notices)
            notice(project, n);
    }
    void failure(const QString &project, const QString &text) const
    {
        line(project, QStringLiteral("error"), text);
    }
    // Not a finding: on stdout with the files written when they are parsed as diagnostics.
    void remark(const QString &project, const QString &text) const
    {
        print(diagnostics ? stdout : stderr, project + QStringLiteral(": ") + text);
    }
    // The files written, on stdout: C:\fw\MDK-ARM\fw.pro on Windows, as Explorer and
    // cmd.exe spell it.
    void written(const QString &path) const { print(stdout, QDir::toNativeSeparators(path)); }

    // The files beside the .pro, when there are any; false when one cannot be written.
    // `failures`: whether that fails the run, with a line of its own (a notice tells of the
    // ones that do not).
    bool files(const QString &project, const QVector<Corvane::WrittenFile> &files,
               bool failures = true) const
    {
        bool all = true;
        for (const Corvane::WrittenFile &file : files) {
            if (file.written) {
                written(file.path);
            } else if (!file.path.isEmpty() && failures) {
                failure(project,
                        QDir::toNativeSeparators(file.path) + QLatin1Char(' ') + file.reason);
                all = false;
            }
        }
        return all;
    }

private:
    void line(const QString &project, const QString &kind, const QString &text) const
    {
        if (diagnostics)
            print(stderr, QDir::toNativeSeparators(QFileInfo(project).absoluteFilePath()) +
                              QStringLiteral(":1: ") + kind + QStringLiteral(": ") + text);
        else
            print(stderr, project + QStringLiteral(": ") + text);
    }
};

// Each member as a project of its own, in workspace order; the workspace's .pro last.
// A member that failed fails the run, as a project given on its own does; the others are
// written all the same.
bool reportWorkspace(const QString &workspace, const Corvane::WorkspaceResult &result,
                     const Report &report)
{
    bool members = true;
    for (const Corvane::WorkspaceMemberResult &member : result.members) {
        const QString name = QDir::toNativeSeparators(member.path);
        report.notices(name, member.result.notices);
        if (member.result.succeeded()) {
            report.written(member.result.outputPath);
            report.files(name, {member.result.shared}, false);
        } else {
            report.failure(name, member.failure());
            members = false;
        }
    }
    report.notices(workspace, result.notices);
    if (!result.succeeded()) {
        report.failure(workspace, result.message());
        return false;
    }
    report.written(result.outputPath);
    report.files(workspace, {result.shared}, false);
    return report.files(workspace, result.databases) && members;
}

// Converts one file given on the command line and reports it; false when it failed.
// *read gets the files the conversion read: the project, or the workspace and its members.
bool convertAndReport(const QString &project, const Corvane::ConversionOptions &options,
                      const Report &report, QStringList *read)
{
    read->append(project);
    if (Corvane::isWorkspacePath(project)) {
        const Corvane::WorkspaceResult result = Corvane::convertWorkspace(project, options);
        for (const Corvane::WorkspaceMemberResult &member : result.members)
            read->append(member.path);
        return reportWorkspace(project, result, report);
    }
    const Corvane::ConversionResult result = Corvane::convertProject(project, options);
    if (result.succeeded()) {
        // What the .pro lacks (packs, files not on disk ...); the run still succeeds.
        report.notices(project, result.notices);
        report.written(result.outputPath);
        // The shared settings only help the editor: a notice tells when they cannot be written.
        report.files(project, {result.shared}, false);
        return report.files(project, {result.database});
    }
    if (result.status == Corvane::ConversionStatus::UnknownTarget) {
        QStringList quoted;
        for (const QString &name : result.targets)
            quoted.append(QLatin1Char('"') + name + QLatin1Char('"'));
        report.failure(project, result.message() + QStringLiteral(" no target \"") +
                                    options.target + QStringLiteral("\"; the project has ") +
                                    (quoted.isEmpty() ? QStringLiteral("no named target")
                                                      : quoted.join(QStringLiteral(", "))));
        return false;
    }
    report.failure(project, result.message());
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvane-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CORVANE_VERSION));

    // The Keil installations and the pack root this machine gives, shown by --help.
    Corvane::ConversionOptions options = Corvane::installedUvisionOptions();
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral(
            "Writes a qmake project file (.pro) beside each Keil MDK uVision project file.\n"
            "Prints the path of each file written; failures go to stderr.\n"
            "When SOURCE_DATE_EPOCH is set, the banner shows that time (UTC) instead of now.\n") +
        (options.packRoot.isEmpty()
             ? QStringLiteral("No pack folder is known: --pack-root names one.")
             : QStringLiteral("Packs are looked for in ") +
                   QDir::toNativeSeparators(options.packRoot) + QStringLiteral(" (from ") +
                   options.packRootOrigin +
                   QStringLiteral(") unless --pack-root names a folder.")));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption targetOption(
        QStringLiteral("target"),
        QStringLiteral("For projects of several targets: the target the .pro selects when "
                       "UV_TARGET is not set, by name or by number, 1 for the first (default: "
                       "the first target)."),
        QStringLiteral("NAME"));
    parser.addOption(targetOption);
    const QCommandLineOption packRootOption(
        QStringLiteral("pack-root"),
        QStringLiteral("Where CMSIS packs are installed (default: $CMSIS_PACK_ROOT, else on "
                       "Windows uVision's pack folder, RTEPATH in its TOOLS.INI, else the "
                       "platform's pack folder)."),
        QStringLiteral("DIR"));
    parser.addOption(packRootOption);
    const QCommandLineOption databaseOption(
        QStringLiteral("compile-commands"),
        QStringLiteral("Also write compile_commands.json, clang's view of the target the .pro "
                       "selects, for clangd, VS Code and CLion: into the deepest folder that "
                       "holds the project and its sources, where clangd finds it."));
    parser.addOption(databaseOption);
    const QCommandLineOption databaseDirOption(
        QStringLiteral("compile-commands-dir"),
        QStringLiteral("Write compile_commands.json into DIR instead, with the entries of "
                       "other projects there kept."),
        QStringLiteral("DIR"));
    parser.addOption(databaseDirOption);
    const QCommandLineOption diagnosticsOption(
        QStringLiteral("diagnostics"),
        QStringLiteral("Report notices and failures as compiler diagnostics on the project "
                       "file (PROJECT_FILE:1: warning: ...), as IDEs list them."));
    parser.addOption(diagnosticsOption);
    const QCommandLineOption watchOption(
        QStringLiteral("watch"),
        QStringLiteral("Convert, then convert again whenever a project or workspace file (or "
                       "a workspace's member) changes, until Ctrl+C or SIGTERM."));
    parser.addOption(watchOption);
    parser.addPositionalArgument(QStringLiteral("PROJECT_FILE"),
                                 QStringLiteral("A .uvprojx or .uvproj file, or a .uvmpw "
                                                "multi-project workspace."),
                                 QStringLiteral("PROJECT_FILE..."));
    if (!parser.parse(QCoreApplication::arguments())) {
        print(stderr, parser.errorText());
        return UsageError;
    }
    // Not showHelp() nor showVersion(): the help names the pack root, which would go out in
    // the ANSI code page, and on Windows both go into a message box when no console is
    // attached (a script's or Wine's pipe).
    if (parser.isSet(QStringLiteral("help"))) {
        print(stdout, parser.helpText().trimmed());
        return AllConverted;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        print(stdout, QCoreApplication::applicationName() + QLatin1Char(' ') +
                          QCoreApplication::applicationVersion());
        return AllConverted;
    }

    const QStringList projects = parser.positionalArguments();
    if (projects.isEmpty()) {
        print(stderr, parser.helpText());
        return UsageError;
    }

    options.target = parser.value(targetOption);
    options.compileCommands = parser.isSet(databaseOption) || parser.isSet(databaseDirOption);
    if (parser.isSet(databaseDirOption))
        options.compileCommandsDir =
            QDir::cleanPath(QFileInfo(parser.value(databaseDirOption)).absoluteFilePath());
    Report report;
    report.diagnostics = parser.isSet(diagnosticsOption);
    if (parser.isSet(packRootOption)) {
        options.packRoot = parser.value(packRootOption);
        options.packRootOrigin = QStringLiteral("--pack-root");
        options.namedPackRoot = QDir::cleanPath(QFileInfo(options.packRoot).absoluteFilePath());
    }
    // Build writes a .pro older than its project again with this program and these options.
    options.converter = QCoreApplication::applicationFilePath();
    // Reproducible output: https://reproducible-builds.org/specs/source-date-epoch/
    const QByteArray epoch = qgetenv("SOURCE_DATE_EPOCH");
    if (!epoch.isEmpty()) {
        bool ok = false;
        const qint64 seconds = epoch.toLongLong(&ok);
        if (!ok) {
            print(stderr, QStringLiteral("SOURCE_DATE_EPOCH is not a number of seconds: ") +
                              QString::fromLocal8Bit(epoch));
            return UsageError;
        }
        options.timestamp = QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
    }

    if (parser.isSet(watchOption)) {
        Watch watch(projects, [&options, &report](const QString &project) {
            Watch::Converted converted;
            converted.succeeded = convertAndReport(project, options, report, &converted.read);
            return converted;
        });
        return watch.run();
    }
    int exitCode = AllConverted;
    for (const QString &project : projects) {
        QStringList read;
        if (!convertAndReport(project, options, report, &read))
            exitCode = SomeFailed;
    }
    return exitCode;
}
