// libFuzzer target: the input is written as a project file into a scratch tree that has
// include directories with headers in it, so header discovery runs for real, and then
// converted twice. Beyond "no crash, no sanitizer report" it checks what the tool promises:
// - a run ends with one of the tool's messages;
// - a failed run leaves no .pro and no temporary file behind;
// - a successful .pro starts with the banner and ends with the block that builds it with
//   uVision and the closing lines;
// - the same input gives the same bytes twice;
// - the project file is never changed;
// - blanks at the end of a line change nothing (values are trimmed), which sends lines that
//   would take the converter's shortcuts for plain elements through its general path;
// - no value reaches qmake as syntax: every "$" and "#" outside a comment is part of
//   $${LITERAL_DOLLAR}, $${LITERAL_HASH} or $$escape_expand(), braces and "'" appear only
//   inside double quotes, and double quotes pair up on every line;
// - a well-formed project made from the input (each line an element, its first byte choosing
//   which) gives the same .pro pretty-printed and written on one line, and pretty-printed a
//   compile_commands.json that reads back as a JSON array;
// - the input as a pack description (.pdsc) and as a generator's description (.gpdsc) that
//   an RTE project names: whatever they hold, the run succeeds with the same checks;
// - the input as a multi-project workspace (.uvmpw) beside member projects (two of one
//   name, two in one folder, one in the parent folder, one whose folder qmake would not
//   take literally), and a workspace made from the input's lines: the same checks on the
//   workspace's .pro, as many subprojects as members converted, nothing written but the
//   members' .pro files and the workspace's, the same bytes twice; the same members read
//   with trailing blanks, and pretty-printed or on one line. A workspace naming a project
//   outside its scratch folder is only read, never converted.

#include "conversion/conversion.h"
#include "conversion/workspaceconversion.h"
#include "fuzzchecks.h"
#include "qmake/fragments.h"
#include "reading/workspace.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonDocument>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using FuzzChecks::checkLiteralValues;
using FuzzChecks::checkPro;
using FuzzChecks::fail;
using FuzzChecks::structured;
using FuzzChecks::withTrailingBlanks;

struct Scratch
{
    QTemporaryDir root;
    QString projectDir;
    QString projectPath;
    QString outputPath;
    QString packRoot;
    QString pdscPath;
    QString workspaceRoot; // every member a converted workspace names lies below
    QString workspacePath;
    QStringList workspaceFiles; // what the workspace's tree holds before a run
};

Scratch *scratch = nullptr;

void touch(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        fail("cannot create", path);
}

// <root>/fw/MDK-ARM holds the project; seeds and the dictionary name these directories.
void buildTree(Scratch &s)
{
    const QString fw = s.root.path() + QStringLiteral("/fw");
    const QStringList dirs = {
        QStringLiteral("/MDK-ARM/sub"),
        QStringLiteral("/Inc/dir.h"),
        QStringLiteral("/Drivers/CMSIS/Include"),
        QStringLiteral("/Ünï Cödé"),
    };
    for (const QString &dir : dirs) {
        if (!QDir().mkpath(fw + dir))
            fail("cannot create", fw + dir);
    }
    const QStringList files = {
        QStringLiteral("/MDK-ARM/local.h"),
        QStringLiteral("/MDK-ARM/sub/x.h"),
        QStringLiteral("/Inc/main.h"),
        QStringLiteral("/Inc/MAIN2.H"),
        QStringLiteral("/Inc/.hidden.h"),
        QStringLiteral("/Inc/notes.txt"),
        QStringLiteral("/Drivers/CMSIS/Include/core_cm4.h"),
        QStringLiteral("/Ünï Cödé/grüße.h"),
    };
    for (const QString &file : files)
        touch(fw + file);
    s.projectDir = fw + QStringLiteral("/MDK-ARM");
    s.packRoot = s.root.path() + QStringLiteral("/packs");
    s.pdscPath = s.packRoot + QStringLiteral("/Fuzz/Pack/1.0.0/Fuzz.Pack.pdsc");
    if (!QDir().mkpath(QFileInfo(s.pdscPath).path()) ||
        !QDir().mkpath(s.packRoot + QStringLiteral("/Fuzz/Pack/1.0.0/Include")))
        fail("cannot create", s.packRoot);
    touch(s.packRoot + QStringLiteral("/Fuzz/Pack/1.0.0/Include/dev.h"));
    s.projectPath = s.projectDir + QStringLiteral("/p.uvprojx");
    s.outputPath = s.projectDir + QStringLiteral("/p.pro");

    // <root>/ws/w/w.uvmpw and its members; seeds and the dictionary name them.
    s.workspaceRoot = s.root.path() + QStringLiteral("/ws");
    s.workspacePath = s.workspaceRoot + QStringLiteral("/w/w.uvmpw");
    const QStringList members = {
        QStringLiteral("/w/A/MDK-ARM/a.uvprojx"), QStringLiteral("/w/A/MDK-ARM/b.uvproj"),
        QStringLiteral("/w/B/MDK-ARM/a.uvprojx"), QStringLiteral("/lib/lib.uvprojx"),
        QStringLiteral("/w/C# $x{'}/c.uvprojx"),
    };
    for (const QString &member : members) {
        const QString path = s.workspaceRoot + member;
        if (!QDir().mkpath(QFileInfo(path).path()))
            fail("cannot create", path);
        QFile file(path);
        const QByteArray project = "<TargetName>T</TargetName>\n<FilePath>main.c</FilePath>\n";
        if (!file.open(QIODevice::WriteOnly) || file.write(project) != project.size())
            fail("cannot write", path);
        s.workspaceFiles.append(path);
    }
    s.workspaceFiles.append(s.workspacePath);
    s.workspaceFiles.sort();
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail("cannot read", path);
    return file.readAll();
}

QStringList projectDirEntries()
{
    return QDir(scratch->projectDir)
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                   QDir::Name);
}

bool isToolMessage(const QString &message)
{
    static const QStringList messages = {
        QStringLiteral("工程转换成功！"),     QStringLiteral("打开文件路径为空！"),
        QStringLiteral("打开文件路径有误！"), QStringLiteral("打开工程文件失败！"),
        QStringLiteral("读取工程文件失败！"), QStringLiteral("QT工程创建失败"),
    };
    return messages.contains(message);
}

// One conversion; returns the .pro bytes, or a null array when the run failed.
QByteArray convertOnce(const QByteArray &input, const QDateTime &time, bool withPacks = false,
                       bool database = false)
{
    Corvane::ConversionOptions options;
    options.timestamp = time;
    options.compileCommands = database;
    // Beside the project: a fuzzed source "../x.c" would otherwise put it into the folder
    // above, where no run cleans up.
    if (database)
        options.compileCommandsDir = QFileInfo(scratch->projectPath).absolutePath();
    if (withPacks)
        options.packRoot = scratch->packRoot;
    const Corvane::ConversionResult result = Corvane::convertProject(scratch->projectPath, options);
    if (!isToolMessage(result.message()))
        fail("not one of the tool's messages:", result.message());
    if (readAll(scratch->projectPath) != input)
        fail("the project file changed");

    QStringList want = {QStringLiteral("local.h"), QStringLiteral("p.uvprojx"),
                        QStringLiteral("sub")};
    if (withPacks)
        want << QStringLiteral("p.gpdsc");
    if (result.succeeded())
        want << QStringLiteral("p.pro");
    if (result.succeeded() && database)
        want << QStringLiteral("compile_commands.json");
    // The project may list itself or the pack's files, the input's bytes, as sources.
    if (result.succeeded() && !result.encodings.majorityCodec().isEmpty())
        want << QStringLiteral("p.pro.shared");
    want.sort();
    const QStringList entries = projectDirEntries();
    if (entries != want)
        fail("unexpected files beside the project:", entries.join(QLatin1Char(',')));
    QFile::remove(scratch->outputPath + QStringLiteral(".shared"));

    if (!result.succeeded())
        return QByteArray();
    if (result.outputPath != scratch->outputPath)
        fail("output written elsewhere:", result.outputPath);
    const QByteArray pro = readAll(scratch->outputPath);
    checkPro(pro, time);
    if (!pro.contains("\r\n# Build with uVision\r\n"))
        fail("the .pro has no uVision build block");
    // The compilation database beside it is JSON; it goes again for the runs after this one.
    if (database && (!result.database.written ||
                     !QJsonDocument::fromJson(readAll(result.database.path)).isArray() ||
                     !QFile::remove(result.database.path)))
        fail("the compilation database is no JSON array");
    return pro;
}

// An RTE project that takes a device, a component and a generator's components from the
// descriptions the fuzzer writes.
const QByteArray packProject =
    "<Project><Targets><Target><TargetName>T 1</TargetName><ToolsetName>ARM-ADS</ToolsetName>"
    "<Device>D1</Device><PackID>Fuzz.Pack.1.0.0</PackID></Target></Targets>\n"
    "<RTE><components><component Cclass=\"Device\" Cgroup=\"Startup\" Cvendor=\"Fuzz\">"
    "<package name=\"Pack\" vendor=\"Fuzz\" version=\"1.0.0\"/>"
    "<targetInfos><targetInfo name=\"T 1\"/></targetInfos></component></components>\n"
    "<gpdscs><gpdsc name=\"p.gpdsc\"/></gpdscs></RTE></Project>\n";

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        fail("cannot write", path);
}

void writeProject(const QByteArray &bytes)
{
    QFile project(scratch->projectPath);
    if (!project.open(QIODevice::WriteOnly) || project.write(bytes) != bytes.size())
        fail("cannot write the project file");
}

QStringList workspaceTreeFiles()
{
    QStringList files;
    QDirIterator it(scratch->workspaceRoot, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    files.sort();
    return files;
}

Corvane::WorkspaceReading readWorkspaceBytes(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return Corvane::readWorkspace(buffer);
}

// Whether every member the workspace names lies in the scratch tree: a converted member
// gets a .pro written beside it.
bool membersContained(const QByteArray &input)
{
    const QString dir = QFileInfo(scratch->workspacePath).path();
    const Corvane::WorkspaceReading reading = readWorkspaceBytes(input);
    for (const Corvane::WorkspaceMember &member : reading.members) {
        if (!Corvane::memberProjectPath(dir, member.path)
                 .startsWith(scratch->workspaceRoot + QLatin1Char('/')))
            return false;
    }
    return true;
}

// One conversion of the input as a workspace; the workspace's .pro bytes, or a null array
// when the run failed. Removes every .pro it wrote.
QByteArray convertWorkspaceOnce(const QByteArray &input, const QDateTime &time)
{
    writeFile(scratch->workspacePath, input);
    Corvane::ConversionOptions options;
    options.timestamp = time;
    const Corvane::WorkspaceResult result =
        Corvane::convertWorkspace(scratch->workspacePath, options);
    if (!isToolMessage(result.message()))
        fail("not one of the tool's messages:", result.message());
    if (readAll(scratch->workspacePath) != input)
        fail("the workspace file changed");

    QStringList want = scratch->workspaceFiles;
    int converted = 0;
    for (const Corvane::WorkspaceMemberResult &member : result.members) {
        if (!isToolMessage(member.result.message()))
            fail("not one of the tool's messages:", member.result.message());
        if (member.result.succeeded()) {
            ++converted;
            want.append(QDir::fromNativeSeparators(member.result.outputPath));
        }
    }
    if (result.succeeded())
        want.append(QDir::fromNativeSeparators(result.outputPath));
    want.sort();
    const QStringList files = workspaceTreeFiles();
    if (files != want)
        fail("unexpected files in the workspace's tree:", files.join(QLatin1Char(',')));

    QByteArray pro;
    if (result.succeeded()) {
        pro = readAll(result.outputPath);
        if (converted == 0 || pro.count("\r\nSUBDIRS += ") != converted)
            fail("the subprojects are not the members converted");
        if (!pro.startsWith(Corvane::Fragments::banner(time)))
            fail("the workspace's .pro does not start with the banner");
        checkLiteralValues(pro, Corvane::Fragments::banner(time));
    } else if (converted > 0) {
        fail("members converted, and yet the workspace failed:", result.message());
    }
    for (const QString &file : files) {
        if (!scratch->workspaceFiles.contains(file))
            QFile::remove(file);
    }
    return pro;
}

// The input as a well-formed workspace, pretty-printed and on one line: each line a member
// path, its first byte choosing whether the member is active or has no path at all.
void structuredWorkspace(const QByteArray &input, QByteArray *pretty, QByteArray *compact)
{
    *pretty = "\xef\xbb\xbf<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<ProjectWorkspace>\r\n";
    *compact = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><ProjectWorkspace>";
    const QList<QByteArray> lines = input.split('\n');
    for (const QByteArray &line : lines) {
        if (line.isEmpty())
            continue;
        QByteArray value = line.mid(1);
        value.replace('\0', "").replace('\r', "");
        value.replace('&', "&amp;").replace('<', "&lt;").replace('>', "&gt;");
        const int kind = static_cast<unsigned char>(line.at(0)) % 3;
        QList<QByteArray> elements;
        if (kind != 2)
            elements.append("<PathAndName>" + value + "</PathAndName>");
        if (kind != 0)
            elements.append("<NodeIsActive>1</NodeIsActive>");
        *pretty += "  <project>\r\n";
        *compact += "<project>";
        for (const QByteArray &element : elements) {
            *pretty += "    " + element + "\r\n";
            *compact += element;
        }
        *pretty += "  </project>\r\n";
        *compact += "</project>";
    }
    *pretty += "</ProjectWorkspace>\r\n";
    *compact += "</ProjectWorkspace>";
}

// What a workspace's run makes depends on nothing but the members read and the files on
// disk, so the layouts are compared as readings and converted once.
void fuzzWorkspace(const QByteArray &input, const QDateTime &time)
{
    const QVector<Corvane::WorkspaceMember> members = readWorkspaceBytes(input).members;
    if (readWorkspaceBytes(withTrailingBlanks(input)).members != members)
        fail("blanks at the ends of a workspace's lines changed its members");
    QByteArray pretty;
    QByteArray compact;
    structuredWorkspace(input, &pretty, &compact);
    if (readWorkspaceBytes(pretty).members != readWorkspaceBytes(compact).members)
        fail("the same workspace on one line names other members");

    if (membersContained(input) &&
        convertWorkspaceOnce(input, time) != convertWorkspaceOnce(input, time))
        fail("two runs on the same workspace differ");
    if (membersContained(pretty))
        convertWorkspaceOnce(pretty, time);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Paths are UTF-8 whatever the calling shell's locale is; QCoreApplication picks the
    // locale up from the environment.
    qputenv("LC_ALL", "C.UTF-8");
    static int argc = 1;
    static char name[] = "corvane_fuzz";
    static char *argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);

    // Static, so that the scratch tree is removed when the fuzzer exits normally.
    static Scratch instance;
    scratch = &instance;
    if (!scratch->root.isValid())
        fail("no temporary directory");
    buildTree(*scratch);
    // The pack root's index goes to the scratch tree, not the user's cache folder.
    qputenv("XDG_CACHE_HOME", QFile::encodeName(scratch->root.filePath(QStringLiteral("cache"))));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), int(size));
    writeProject(input);
    QFile::remove(scratch->outputPath);

    const QDateTime time(QDate(2024, 5, 6), QTime(7, 8), Qt::UTC);
    const QByteArray first = convertOnce(input, time);
    const QByteArray second = convertOnce(input, time);
    if (first.isNull() != second.isNull() || first != second)
        fail("two runs on the same input differ");

    const QByteArray blanks = withTrailingBlanks(input);
    writeProject(blanks);
    const QByteArray third = convertOnce(blanks, time);
    if (first.isNull() != third.isNull() || first != third)
        fail("blanks at the ends of lines changed the .pro");

    QByteArray pretty;
    QByteArray compact;
    structured(input, &pretty, &compact);
    writeProject(pretty);
    const QByteArray fromPretty = convertOnce(pretty, time, false, true);
    writeProject(compact);
    const QByteArray fromCompact = convertOnce(compact, time, false, true);
    if (fromPretty.isNull() || fromCompact != fromPretty)
        fail("the same project on one line gives another .pro");

    writeFile(scratch->pdscPath, input);
    writeFile(scratch->projectDir + QStringLiteral("/p.gpdsc"), input);
    writeProject(packProject);
    const QByteArray withPacks = convertOnce(packProject, time, true);
    if (withPacks.isNull() || convertOnce(packProject, time, true) != withPacks)
        fail("a pack description made the run fail or differ");
    QFile::remove(scratch->projectDir + QStringLiteral("/p.gpdsc"));

    fuzzWorkspace(input, time);
    return 0;
}
