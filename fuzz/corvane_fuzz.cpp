// libFuzzer target: the input is written as a project file into a scratch tree that has
// include directories with headers in it, so header discovery runs for real, and then
// converted twice. Beyond "no crash, no sanitizer report" it checks what the tool promises:
// - a run ends with one of the tool's messages;
// - a failed run leaves no .pro and no temporary file behind;
// - a successful .pro starts with the banner and ends with the closing lines;
// - the same input gives the same bytes twice;
// - the project file is never changed;
// - blanks at the end of a line change nothing (values are trimmed), which sends lines that
//   would take the converter's shortcuts for plain elements through its general path;
// - no value reaches qmake as syntax: every "$" and "#" outside a comment is part of
//   $${LITERAL_DOLLAR}, $${LITERAL_HASH} or $$escape_expand(), braces and "'" appear only
//   inside double quotes, and double quotes pair up on every line;
// - a well-formed project made from the input (each line an element, its first byte choosing
//   which) gives the same .pro pretty-printed and written on one line;
// - the input as a pack description (.pdsc) and as a generator's description (.gpdsc) that
//   an RTE project names: whatever they hold, the run succeeds with the same checks.

#include "conversion.h"
#include "fuzzchecks.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

namespace {

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
QByteArray convertOnce(const QByteArray &input, const QDateTime &time, bool withPacks = false)
{
    Corvane::ConversionOptions options;
    options.timestamp = time;
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
    want.sort();
    const QStringList entries = projectDirEntries();
    if (entries != want)
        fail("unexpected files beside the project:", entries.join(QLatin1Char(',')));

    if (!result.succeeded())
        return QByteArray();
    if (result.outputPath != scratch->outputPath)
        fail("output written elsewhere:", result.outputPath);
    const QByteArray pro = readAll(scratch->outputPath);
    checkPro(pro, time);
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
    const QByteArray fromPretty = convertOnce(pretty, time);
    writeProject(compact);
    const QByteArray fromCompact = convertOnce(compact, time);
    if (fromPretty.isNull() || fromCompact != fromPretty)
        fail("the same project on one line gives another .pro");

    writeFile(scratch->pdscPath, input);
    writeFile(scratch->projectDir + QStringLiteral("/p.gpdsc"), input);
    writeProject(packProject);
    const QByteArray withPacks = convertOnce(packProject, time, true);
    if (withPacks.isNull() || convertOnce(packProject, time, true) != withPacks)
        fail("a pack description made the run fail or differ");
    QFile::remove(scratch->projectDir + QStringLiteral("/p.gpdsc"));
    return 0;
}
