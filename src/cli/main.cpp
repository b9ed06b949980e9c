// corvane-cli: converts uVision project files given on the command line, exactly as the
// window's Generate button does, for scripts and machines without a display; with --watch,
// again whenever they change.

#include "consoleoutput.h"
#include "conversion.h"
#include "reading/uvisioninstallation.h"
#include "watch.h"
#include "workspaceconversion.h"

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

// compile_commands.json after its .pro, when asked for; false when it cannot be written.
bool reportDatabase(const QString &project, const Corvane::ConversionResult &result)
{
    const QString path = QDir::toNativeSeparators(result.databasePath);
    if (!path.isEmpty() && result.databaseWritten)
        print(stdout, path);
    else if (!path.isEmpty())
        print(stderr, project + QStringLiteral(": ") + path + QStringLiteral(" cannot be written"));
    return path.isEmpty() || result.databaseWritten;
}

// Each member as a project of its own, in workspace order; the workspace's .pro last.
bool reportWorkspace(const QString &workspace, const Corvane::WorkspaceResult &result)
{
    bool databases = true;
    for (const Corvane::WorkspaceMemberResult &member : result.members) {
        const QString name = QDir::toNativeSeparators(member.path);
        for (const QString &notice : member.result.notices)
            print(stderr, name + QStringLiteral(": ") + notice);
        if (member.result.succeeded()) {
            print(stdout, QDir::toNativeSeparators(member.result.outputPath));
            databases = reportDatabase(name, member.result) && databases;
        } else {
            print(stderr, name + QStringLiteral(": ") + member.result.message());
        }
    }
    for (const QString &notice : result.notices)
        print(stderr, workspace + QStringLiteral(": ") + notice);
    if (result.succeeded())
        print(stdout, QDir::toNativeSeparators(result.outputPath));
    else
        print(stderr, workspace + QStringLiteral(": ") + result.message());
    return result.succeeded() && databases;
}

// Converts one file given on the command line and reports it; false when it failed.
// *read gets the files the conversion read: the project, or the workspace and its members.
bool convertAndReport(const QString &project, const Corvane::ConversionOptions &options,
                      QStringList *read)
{
    read->append(project);
    if (Corvane::isWorkspacePath(project)) {
        const Corvane::WorkspaceResult result = Corvane::convertWorkspace(project, options);
        for (const Corvane::WorkspaceMemberResult &member : result.members)
            read->append(member.path);
        return reportWorkspace(project, result);
    }
    const Corvane::ConversionResult result = Corvane::convertProject(project, options);
    if (result.succeeded()) {
        // What the .pro lacks (packs, files not on disk ...); the run still succeeds.
        for (const QString &notice : result.notices)
            print(stderr, project + QStringLiteral(": ") + notice);
        // C:\fw\MDK-ARM\fw.pro on Windows, as Explorer and cmd.exe spell it.
        print(stdout, QDir::toNativeSeparators(result.outputPath));
        return reportDatabase(project, result);
    }
    if (result.status == Corvane::ConversionStatus::UnknownTarget) {
        QStringList quoted;
        for (const QString &name : result.targets)
            quoted.append(QLatin1Char('"') + name + QLatin1Char('"'));
        print(stderr, project + QStringLiteral(": ") + result.message() +
                          QStringLiteral(" no target \"") + options.target +
                          QStringLiteral("\"; the project has ") +
                          (quoted.isEmpty() ? QStringLiteral("no named target")
                                            : quoted.join(QStringLiteral(", "))));
        return false;
    }
    print(stderr, project + QStringLiteral(": ") + result.message());
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
                       "UV_TARGET is not set (default: the first target)."),
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
        QStringLiteral("Also write compile_commands.json beside each .pro: clang's view of the "
                       "target the .pro selects, for clangd, VS Code and CLion."));
    parser.addOption(databaseOption);
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
    options.compileCommands = parser.isSet(databaseOption);
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
        Watch watch(projects, [&options](const QString &project) {
            QStringList read;
            convertAndReport(project, options, &read);
            return read;
        });
        return watch.run();
    }
    int exitCode = AllConverted;
    for (const QString &project : projects) {
        QStringList read;
        if (!convertAndReport(project, options, &read))
            exitCode = SomeFailed;
    }
    return exitCode;
}
