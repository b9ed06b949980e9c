// compile_commands.json: the files that get entries, clang's arguments for a target, values
// that stay single arguments, the JSON read back. tools/check-compiledb runs entries through
// clang and holds them against the .pro's DEFINES and INCLUDEPATH.

#include "conversion/conversion.h"
#include "conversion/workspaceconversion.h"
#include "model/compilerkeywords.h"
#include "projecttree.h"
#include "qmaketool.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <thread>

using namespace Corvane;

namespace {

QByteArray file(const QByteArray &type, const QByteArray &path, const QByteArray &options = "")
{
    return "<File><FileType>" + type + "</FileType>\n<FilePath>" + path + "</FilePath>\n" +
           options + "</File>\n";
}

// As uVision lays a target out: the C compiler's options in <Cads>, the assembler's in <Aads>
// (its SwStkChk before its MiscControls), a group's own <Cads> after its name.
QByteArray target(const QByteArray &name, const QByteArray &cpu, const QByteArray &cads,
                  const QByteArray &files, const QByteArray &more = "<uAC6>1</uAC6>\n")
{
    return "<Target><TargetName>" + name + "</TargetName>\n<ToolsetName>ARM-ADS</ToolsetName>\n" +
           more + "<Cpu>" + cpu + "</Cpu>\n<Cads>\n" + cads +
           "</Cads>\n<Aads>\n<SwStkChk>0</SwStkChk>\n<MiscControls>--c99</MiscControls>\n</"
           "Aads>\n<Groups><Group>\n"
           "<GroupName>G</GroupName>\n<Cads>\n<MiscControls>--c99</MiscControls>\n</Cads>\n"
           "<Files>\n" +
           files + "</Files></Group></Groups></Target>\n";
}

const QByteArray m4 = "IRAM(0x20000000,0x8000) CPUTYPE(\"Cortex-M4\") FPU2 CLOCK(12000000)";
const QByteArray ac5 = "<uAC6>0</uAC6>\n";
const QString m4Flags = "clang|--target=arm-arm-none-eabi|-mcpu=cortex-m4|-mfpu=fpv4-sp-d16|"
                        "-mfloat-abi=hard|-mthumb";
// Each entry as "argument|argument...", AC5 standing for Arm Compiler 5's keywords, marked
// when its folder or file is not the one its arguments compile.
QStringList readEntries(const QJsonArray &array, const QString &directory)
{
    QStringList entries;
    for (const QJsonValue &entry : array) {
        QStringList arguments = entry["arguments"].toVariant().toStringList();
        if (entry["directory"].toString() != directory ||
            entry["file"].toString() != QDir::cleanPath(arguments.last()))
            arguments.prepend("elsewhere");
        const int keywords = arguments.indexOf("-fdeclspec") + 1;
        if (keywords > 0)
            arguments.erase(arguments.begin() + keywords,
                            arguments.begin() + keywords + armCompiler5Keywords().size());
        entries.append(arguments.join('|').replace("-fdeclspec", "AC5"));
    }
    return entries;
}

// "a/MDK/a.uvprojx Objects: ../src/a.c ../../lib/x.c": a project of those C sources, whose
// objects go to the folder named after its path (none: the project's folder).
QString writeProject(const ProjectTree &tree, const QString &layout)
{
    const QString path = layout.section(QLatin1Char(':'), 0, 0).section(QLatin1Char(' '), 0, 0);
    QByteArray files;
    for (const QString &source :
         layout.section(QLatin1Char(':'), 1).split(QLatin1Char(' '), Qt::SkipEmptyParts))
        files += file("1", source.toUtf8());
    const QByteArray objects = layout.section(QLatin1Char(':'), 0, 0).section(' ', 1).toUtf8();
    tree.add(path, "<Project><Targets>" +
                       target("T", m4, "", files,
                              "<OutputDirectory>" + objects + "</OutputDirectory>\n") +
                       "</Targets></Project>");
    return tree.path(path);
}

// A database's entries as "directory:file", the directory relative to the tree's root.
QStringList databaseEntries(const ProjectTree &tree, const QString &path)
{
    QStringList entries;
    const QJsonArray array = QJsonDocument::fromJson(ProjectTree::readFile(path)).array();
    for (const QJsonValue &entry : array) {
        const QString directory = entry["directory"].toString();
        entries.append((directory.startsWith(tree.root())
                            ? QDir(tree.root()).relativeFilePath(directory)
                            : directory) +
                       ':' + entry["file"].toString());
    }
    return entries;
}

} // namespace

class TestCompileDb : public QObject
{
    Q_OBJECT

private slots:
    void entries_data();
    void entries();
    void placement_data();
    void placement();
    void settings_data();
    void settings();
};

void TestCompileDb::entries_data()
{
    QTest::addColumn<QString>("projectFile");
    QTest::addColumn<QString>("defaultTarget");
    QTest::addColumn<QByteArray>("project");
    QTest::addColumn<QStringList>("expected");

    const QString mdk = QStringLiteral("MDK-ARM/fw.uvprojx");
    const QString soft = "|-mfpu=none|-mfloat-abi=soft|-mthumb";
    const QString hard = "|-mfloat-abi=hard|-mthumb";
    const QPair<QByteArray, QString> cpus[] = {
        {"CPUTYPE(\"Cortex-M0+\") TZ", "-mcpu=cortex-m0plus" + soft},
        {"CPUTYPE(\"Cortex-M7\") FPU3(DFPU)", "-mcpu=cortex-m7|-mfpu=fpv5-d16" + hard},
        {"CPUTYPE(\"Cortex-M33\") FPU3(SFPU) DSP", "-mcpu=cortex-m33|-mfpu=fpv5-sp-d16" + hard},
        {"CPUTYPE(\"Cortex-M33\") TZ", "-mcpu=cortex-m33+nodsp" + soft},
        {"CPUTYPE(\"Cortex-M55\") FPU3(DFPU) MVE(INT)",
         "-mcpu=cortex-m55+nomve.fp|-mfpu=fpv5-d16" + hard},
        {"CPUTYPE(\"Cortex-M85\") FPU3(DFPU) MVE(FP)",
         "-march=armv8.1-m.main+dsp+mve.fp|-mfpu=fpv5-d16" + hard},
        {"CPUTYPE(\"ARM7TDMI\")", "-mcpu=arm7tdmi"},
    };
    for (const auto &cpu : cpus) {
        QTest::newRow(cpu.first.constData())
            << mdk << QString() << target("T", cpu.first, "", file("1", "a.c"))
            << QStringList{"clang|--target=arm-arm-none-eabi|" + cpu.second + "|-c|a.c"};
    }
    QTest::newRow("kinds: C, C++, a .c as C++; no assembler, header, text, left out; -std=")
        << mdk << QString()
        << target("T", m4,
                  "<v6Lang>5</v6Lang>\n<MiscControls>-std=gnu11 -std=x</MiscControls>\n"
                  "<Define>A,B</Define><IncludePath>..\\Inc</IncludePath>\n",
                  file("1", "..\\Src\\main.c") + file("8", "app.cpp") + file("8", "x.c") +
                      file("2", "startup.s") + file("5", "main.h") + file("5", "readme.txt") +
                      file("1", "out.c", "<IncludeInBuild>0</IncludeInBuild>\n"))
        << QStringList{m4Flags + "|-std=gnu11|-DA|-DB|-I../Inc|-c|../Src/main.c",
                       m4Flags + "|-DA|-DB|-I../Inc|-c|app.cpp",
                       m4Flags + "|-DA|-DB|-I../Inc|-x|c++|-c|x.c"};
    QTest::newRow("Arm Compiler 5: its group's --c99, not the assembler's; narrow enums")
        << mdk << QString()
        << target("T", m4, "<uC99>0</uC99>\n<MiscControls/>", file("1", "a.c"), ac5)
        << QStringList{m4Flags + "|-std=c99|-fshort-enums|-fshort-wchar|AC5|-c|a.c"};
    QTest::newRow("Arm Compiler 5: uC99 and --gnu")
        << mdk << QString()
        << target("T", m4, "<uC99>1</uC99>\n<MiscControls>--GNU</MiscControls>", file("1", "a.c"),
                  ac5)
        << QStringList{m4Flags + "|-std=gnu99|-fshort-enums|-fshort-wchar|AC5|-c|a.c"};
    QTest::newRow("--target: the values before the first target and the selected one's")
        << mdk << QStringLiteral("B")
        << "<Define>ALL</Define>\n" + target("A", m4, "<Define>NOT_B</Define>", file("1", "a.c")) +
               target("B", m4, "<v6Lang>3</v6Lang><Define>ONLY_B</Define>", file("1", "b.c"))
        << QStringList{m4Flags + "|-std=c99|-DALL|-DONLY_B|-c|b.c"};
    const QString rte = m4Flags + "|-D_RTE_|-IRTE/_T|-IRTE/D|-isystem|KEIL/ARM/ARMCLANG/include";
    QTest::newRow("RTE: RTE/_T, _RTE_ and its C source; the Keil compiler's headers last")
        << mdk << QString()
        << target("T", m4, "", file("1", "a.c")) +
               "<RTE><components><component Cclass=\"Device\" Cgroup=\"Startup\"/></components>"
               "<files><file category=\"source\"><instance>RTE\\D\\s.c</instance></file><file "
               "category=\"source\"><instance>RTE\\D\\startup.s</instance></file></files></RTE>"
        << QStringList{rte + "|-c|a.c", rte + "|-c|RTE/D/s.c"};
    const QString values = m4Flags + "|-DX|-D-o|-Dout.axf|-DS=a b|-DQ=\"c|-DD=$(HOME)|-I-Iinc|"
                                     "-I../a\nb|-I../用户 代码|-c|";
    QTest::newRow("hostile values stay single arguments; Chinese and blank folders")
        << QStringLiteral("工程 A/MDK-ARM/fw.uvprojx") << QString()
        << target("T", m4,
                  "<Define>X -o out.axf,S=\"a b\",Q=\"c,D=$(HOME)</Define>\n"
                  "<IncludePath>-Iinc;..\\a&#10;b;\"..\\用户 代码\"</IncludePath>",
                  file("1", "..\\用户 代码\\主程序.c") + file("1", "$x \"'q'\"&amp;.c") +
                      file("1", "-x.c"))
        << QStringList{values + "../用户 代码/主程序.c", values + "$x \"'q'\"&.c",
                       values + "./-x.c"};
    QTest::newRow("C51: no entries")
        << mdk << QString()
        << QByteArray(target("T", "", "", file("1", "a.c"))).replace("ARM-ADS", "MCS-51")
        << QStringList{"compile_commands.json has no entries: target \"T\" is built with C51, "
                       "which clang does not compile"};
}

void TestCompileDb::entries()
{
    QFETCH(QString, projectFile);
    QFETCH(QString, defaultTarget);
    QFETCH(QByteArray, project);
    QFETCH(QStringList, expected);

    ProjectTree tree;
    QVERIFY(!expected.join(QString()).contains("KEIL") || tree.add("Keil/ARM/ARMCLANG/include/"));
    ConversionOptions options;
    options.compileCommands = true;
    options.target = defaultTarget;
    options.mdkRoot = tree.path(QStringLiteral("Keil"));
    const QString dir = QFileInfo(tree.path(projectFile)).path();
    // As uVision writes it, and on one line: only the elements count.
    for (const QByteArray &form : {project, QByteArray(project).replace('\n', "")}) {
        QVERIFY(tree.add(projectFile, "<Project><Targets>" + form + "</Targets></Project>"));
        const ConversionResult result = convertProject(tree.path(projectFile), options);
        QVERIFY(result.database.written);
        const QJsonArray array =
            QJsonDocument::fromJson(tree.readFile(result.database.path)).array();
        QCOMPARE((readEntries(array, dir) + noticeTexts(result.notices).filter("has no entries"))
                     .replaceInStrings(options.mdkRoot, QStringLiteral("KEIL")),
                 expected);
    }
}

void TestCompileDb::placement_data()
{
    QTest::addColumn<QStringList>("projects");  // see writeProject(), converted in this order
    QTest::addColumn<QString>("how");           // "one by one", "at once", "workspace", "into DIR"
    QTest::addColumn<QString>("before");        // "folder=bytes": a compile_commands.json there
    QTest::addColumn<QStringList>("databases"); // "folder: directory:file ...", each written
    QTest::addColumn<QString>("notice");        // part of the notices about it; empty: none

    const QString one = QStringLiteral("one by one");
    const QStringList meet = {"a/MDK/a.uvprojx: ../src/a.c ../../lib/x.c",
                              "b/MDK/b.uvprojx: ../src/b.c ../../lib/x.c"};
    const QString both =
        ": a/MDK:../src/a.c a/MDK:../../lib/x.c b/MDK:../src/b.c b/MDK:../../lib/x.c";
    QTest::newRow("sources below") << QStringList{"p/fw.uvprojx: Src/main.c"} << one << QString()
                                   << QStringList{"p: p:Src/main.c"} << QString();
    QTest::newRow("sources beside") << QStringList{"p/fw.uvprojx: main.c"} << one << QString()
                                    << QStringList{"p: p:main.c"} << QString();
    QTest::newRow("sources above: the folder holding them")
        << QStringList{"p/MDK-ARM/fw.uvprojx: ../Src/main.c ../../p/Lib/x.c"} << one << QString()
        << QStringList{"p: p/MDK-ARM:../Src/main.c p/MDK-ARM:../../p/Lib/x.c"}
        << "compile_commands.json is in " + QDir::toNativeSeparators("%/p");
    QTest::newRow("a source on another root: beside the project")
        << QStringList{"p/MDK/fw.uvprojx: ../Src/a.c /opt/keil/x.c"} << one << QString()
        << QStringList{"p/MDK: p/MDK:../Src/a.c p/MDK:/opt/keil/x.c"}
        << "share no folder below a drive's root or the home folder, so compile_commands.json "
           "is beside the project, where clangd finds it for the sources above it only with "
           "--compile-commands-dir=" +
               QDir::toNativeSeparators("%/p/MDK");
    QTest::newRow("the home folder is no such folder")
        << QStringList{"p/MDK/fw.uvprojx: ../Src/a.c ../../q/x.c"} << QStringLiteral("home")
        << QString() << QStringList{"p/MDK: p/MDK:../Src/a.c p/MDK:../../q/x.c"}
        << QStringLiteral("share no folder below a drive's root or the home folder");
    QTest::newRow("the folder cannot take it: beside the project")
        << QStringList{"p/MDK/fw.uvprojx: ../Src/a.c"} << one
        << "p/compile_commands.json/=" << QStringList{"p/MDK: p/MDK:../Src/a.c"}
        << QDir::toNativeSeparators("%/p/compile_commands.json") + " cannot be read, so";
    QTest::newRow("a foreign database there: its entries kept")
        << QStringList{"p/MDK/fw.uvprojx: ../Src/a.c"} << one
        << "p=[{\"directory\": \"/w\", \"file\": \"x.c\", \"command\": \"cc -c x.c\"}]"
        << QStringList{"p: /w:x.c p/MDK:../Src/a.c"}
        << QStringLiteral("compile_commands.json is in");
    QTest::newRow("a corrupt one there: left alone, beside the project")
        << QStringList{"p/MDK/fw.uvprojx: ../Src/a.c"} << one
        << "p=[{\"directory\":" << QStringList{"p/MDK: p/MDK:../Src/a.c"}
        << QDir::toNativeSeparators("%/p/compile_commands.json") + " is not a compilation database";
    QTest::newRow("beside the project a corrupt one is replaced")
        << QStringList{"p/fw.uvprojx: a.c"} << one
        << "p=[{\"directory\":" << QStringList{"p: p:a.c"}
        << QDir::toNativeSeparators("%/p/compile_commands.json") +
               " was not a compilation database; it is replaced";
    QTest::newRow("two projects meet in one folder")
        << meet << one << QString() << QStringList{QStringLiteral(".") + both}
        << QStringLiteral("compile_commands.json is in");
    QTest::newRow("... in the other order")
        << QStringList{meet.at(1), meet.at(0)} << one << QString()
        << QStringList{".: b/MDK:../src/b.c b/MDK:../../lib/x.c a/MDK:../src/a.c "
                       "a/MDK:../../lib/x.c"}
        << QStringLiteral("compile_commands.json is in");
    QTest::newRow("... at once, again and again")
        << meet << QStringLiteral("at once") << QString() << QStringList{QStringLiteral(".") + both}
        << QStringLiteral("compile_commands.json is in");
    QTest::newRow("a project converted again replaces only its own entries, in place")
        << meet + QStringList{"a/MDK/a.uvprojx: ../src/a2.c ../../lib/x.c"} << one << QString()
        << QStringList{".: a/MDK:../src/a2.c a/MDK:../../lib/x.c b/MDK:../src/b.c "
                       "b/MDK:../../lib/x.c"}
        << QStringLiteral("compile_commands.json is in");
    QTest::newRow("two projects in one folder keep apart by their objects")
        << QStringList{"ws/a.uvprojx .\\A\\: src/a.c", "ws/b.uvprojx .\\B\\: src/b.c",
                       "ws/a.uvprojx .\\A\\: src/a.c"}
        << one << QString() << QStringList{"ws: ws:src/a.c ws:src/b.c"} << QString();
    QTest::newRow("a workspace: one database for its members")
        << meet << QStringLiteral("workspace") << QString()
        << QStringList{QStringLiteral(".") + both} << QStringLiteral("compile_commands.json is in");
    QTest::newRow("a workspace's members in one folder")
        << QStringList{"ws/a.uvprojx: src/a.c", "ws/b.uvprojx: src/b.c"}
        << QStringLiteral("workspace") << QString() << QStringList{"ws: ws:src/a.c ws:src/b.c"}
        << QString();
    QTest::newRow("into the folder named, merged")
        << meet << QStringLiteral("into DIR") << "named=[]"
        << QStringList{QStringLiteral("named") + both} << QString();
}

// Where compile_commands.json goes, so that clangd finds it from every source, and how
// projects that meet there keep each other's entries.
void TestCompileDb::placement()
{
    QFETCH(QStringList, projects);
    QFETCH(QString, how);
    QFETCH(QString, before);
    QFETCH(QStringList, databases);
    QFETCH(QString, notice);

    ProjectTree tree;
    ConversionOptions options;
    options.compileCommands = true;
    if (!before.isEmpty())
        QVERIFY(tree.add(before.section('=', 0, 0).endsWith('/')
                             ? before.section('=', 0, 0)
                             : before.section('=', 0, 0) + "/compile_commands.json",
                         before.section('=', 1).toUtf8()));
    QStringList notices;
    auto convert = [&](const QString &layout) {
        const ConversionResult result = convertProject(writeProject(tree, layout), options);
        notices += noticeTexts(result.notices);
        return result.succeeded() && result.database.written;
    };
    if (how == QLatin1String("workspace")) {
        QByteArray members;
        for (const QString &layout : qAsConst(projects)) {
            writeProject(tree, layout);
            members += "<project><PathAndName>" + layout.section(':', 0, 0).toUtf8() +
                       "</PathAndName></project>\n";
        }
        QVERIFY(tree.add(QStringLiteral("ws.uvmpw"), members));
        const WorkspaceResult result = convertWorkspace(tree.path("ws.uvmpw"), options);
        QVERIFY(result.succeeded());
        QCOMPARE(result.databases.size(), databases.size());
        notices += noticeTexts(result.notices);
    } else if (how == QLatin1String("at once")) {
        // Right after each conversion its entries are there: another one that read the file
        // before and wrote it after would have lost them.
        bool converted[2] = {true, true};
        auto again = [&](int i) {
            const QString project = tree.path(projects.at(i).section(':', 0, 0));
            const QString own = QDir(tree.root()).relativeFilePath(QFileInfo(project).path());
            for (int round = 0; round < 50; ++round) {
                // A new file each round: an unchanged database is not written.
                writeProject(tree, QString(projects.at(i))
                                       .replace(".c ", ".c ../r" + QString::number(round) + ".c "));
                const ConversionResult result = convertProject(project, options);
                const QString current = own + ":../r" + QString::number(round) + ".c";
                converted[i] = converted[i] && result.database.written &&
                               databaseEntries(tree, result.database.path).contains(current);
            }
        };
        std::thread first(again, 0);
        again(1);
        first.join();
        QVERIFY(converted[0] && converted[1]);
        for (const QString &layout : qAsConst(projects))
            QVERIFY(convertProject(writeProject(tree, layout), options).database.written);
        notices.append(QStringLiteral("compile_commands.json is in"));
    } else {
        const QByteArray home = qgetenv("HOME");
        if (how == QLatin1String("home")) {
#ifdef Q_OS_WIN
            QSKIP("QDir::homePath() is the user's profile, whatever HOME says");
#endif
            qputenv("HOME", QFile::encodeName(tree.root()));
        }
        if (how == QLatin1String("into DIR"))
            options.compileCommandsDir = tree.path(QStringLiteral("named"));
        for (const QString &layout : qAsConst(projects))
            QVERIFY(convert(layout));
        qputenv("HOME", home);
    }
    for (const QString &database : qAsConst(databases)) {
        const QString folder = database.section(':', 0, 0);
        QStringList entries =
            databaseEntries(tree, tree.path(folder) + QStringLiteral("/compile_commands.json"));
        QStringList expected = database.section(' ', 1).split(' ');
        // Conversions at once write in either order.
        if (how == QLatin1String("at once")) {
            entries.sort();
            expected.sort();
        }
        QCOMPARE(entries, expected);
    }
    const QString told = notices.join('\n');
    if (notice.isEmpty())
        QVERIFY2(!told.contains("compile_commands"), qPrintable(told));
    else
        QVERIFY2(told.contains(QString(notice).replace('%', QDir::toNativeSeparators(tree.root()))),
                 qPrintable(told));
}

// A target as uVision writes it: the target's own options (ArmAdsMisc, then the C compiler's
// and the assembler's), then a group with options of its own and a file with its own, then
// a group with none.
QByteArray optionsTarget(const QByteArray &toolset, const QByteArray &misc, const QByteArray &cads,
                         const QByteArray &aads, const QByteArray &groupCads = "",
                         const QByteArray &fileCads = "")
{
    const QByteArray ads = toolset == "ARM-GNU" ? "Gnu" : "Ads";
    const QByteArray c = toolset == "ARM-GNU" ? "Carm" : "Cads";
    const QByteArray a = toolset == "ARM-GNU" ? "Aarm" : "Aads";
    return "<Target><TargetName>T</TargetName><ToolsetName>" + toolset.left(7) +
           "</ToolsetName>\n" + (toolset.endsWith("6") ? "<uAC6>1</uAC6>\n" : "") +
           "<Cpu>CPUTYPE(\"Cortex-M33\") TZ</Cpu>\n<TargetArm" + ads + ">\n<ArmAdsMisc>" + misc +
           "</ArmAdsMisc>\n<" + c + ">\n" + cads + "\n</" + c + ">\n<" + a + ">\n" + aads + "\n</" +
           a + ">\n</TargetArm" + ads +
           ">\n<Groups><Group><GroupName>G</GroupName>\n"
           "<GroupOption><GroupArm" +
           ads + "><" + c + ">\n" + groupCads + "\n</" + c + "></GroupArm" + ads +
           "></GroupOption>\n<Files><File><FileType>1</FileType>\n"
           "<FilePath>g.c</FilePath>\n<FileOption><FileArm" +
           ads + "><" + c + ">\n" + fileCads + "\n</" + c + "></FileArm" + ads +
           "></FileOption></File>\n<File><FileType>1</FileType>"
           "\n<FilePath>h.c</FilePath>\n</File></Files></Group>\n<Group><GroupName>O</GroupName>\n"
           "<Files><File><FileType>1</FileType>\n<FilePath>o.c</FilePath>\n</File></Files>"
           "</Group></Groups></Target>\n";
}

void TestCompileDb::settings_data()
{
    QTest::addColumn<QByteArray>("target");
    // "DEFINES|INCLUDEPATH" as qmake reads the .pro, then for g.c, h.c and o.c what their
    // entries give after the CPU's flags, AC5 for Arm Compiler 5's keywords.
    QTest::addColumn<QStringList>("expected");

    const QByteArray ac6 = "ARM-ADS6";
    QTest::newRow("the assembler's defines and folders go nowhere; each value once")
        << optionsTarget(ac6, "", "<Define>A,B,A</Define><IncludePath>inc;inc</IncludePath>",
                         "<Define>A,ASM_ONLY</Define><IncludePath>inc;asm</IncludePath>")
        << QStringList{"A B|inc", "-DA|-DB|-Iinc", "-DA|-DB|-Iinc", "-DA|-DB|-Iinc"};
    QTest::newRow("a group's and a file's options for their files only")
        << optionsTarget(ac6, "", "<Define>A</Define><v6Lang>3</v6Lang>", "",
                         "<Define>G,A</Define><IncludePath>ginc</IncludePath><v6Lang>0</v6Lang>"
                         "<MiscControls>-Wall</MiscControls>",
                         "<Define>F</Define><v6Lang>6</v6Lang><MiscControls>-DX</MiscControls>")
        << QStringList{"A|", "-std=gnu11|-DA|-DG|-DF|-Iginc|-Wall|-DX",
                       "-std=c99|-DA|-DG|-Iginc|-Wall", "-std=c99|-DA"};
    QTest::newRow("Arm Compiler 6's type options")
        << optionsTarget(ac6, "",
                         "<PlainCh>1</PlainCh><vShortEn>1</vShortEn><vShortWch>0</vShortWch>", "",
                         "<PlainCh>0</PlainCh>", "<vShortWch>1</vShortWch><PlainCh>2</PlainCh>")
        << QStringList{"|", "-funsigned-char|-fshort-enums|-fshort-wchar",
                       "-funsigned-char|-fshort-enums", "-fsigned-char|-fshort-enums"};
    QTest::newRow("Arm Compiler 5's: enums as int, its 2-byte wchar_t")
        << optionsTarget("ARM-ADS", "", "<PlainCh>0</PlainCh><EnumInt>1</EnumInt>", "", "",
                         "<EnumInt>0</EnumInt>")
        << QStringList{"|", "-funsigned-char|-fshort-enums|-fshort-wchar|AC5",
                       "-funsigned-char|-fshort-wchar|AC5", "-funsigned-char|-fshort-wchar|AC5"};
    QTest::newRow("GCC: its own options, no Arm Compiler 5 stand-ins")
        << optionsTarget("ARM-GNU", "",
                         "<MiscControls>-std=gnu11 -fshort-enums</MiscControls><Define>G</Define>",
                         "<Define>ASM</Define>")
        << QStringList{"G|", "-std=gnu11|-DG|-fshort-enums", "-std=gnu11|-DG|-fshort-enums",
                       "-std=gnu11|-DG|-fshort-enums"};
    QTest::newRow("MicroLIB and the Secure side")
        << optionsTarget(ac6, "<useUlib>1</useUlib><nSecure>1</nSecure>", "", "")
        << QStringList{"|", "-D__MICROLIB|-mcmse", "-D__MICROLIB|-mcmse", "-D__MICROLIB|-mcmse"};
    QTest::newRow("MiscControls: only what clang takes and neither writes nor loads")
        << optionsTarget(ac6, "",
                         "<MiscControls>-D X -I inc2 -o out.o -MD -fplugin=p.so -Xclang -load "
                         "-Wl,-Map=m -Wp,-MD,d.d -fprofile-generate --via v.txt -Wall -fno-builtin "
                         "\"-DS=a b\"</MiscControls>",
                         "")
        << QStringList{"|", "-DX|-Iinc2|-Wall|-fno-builtin|-DS=a b",
                       "-DX|-Iinc2|-Wall|-fno-builtin|-DS=a b",
                       "-DX|-Iinc2|-Wall|-fno-builtin|-DS=a b"};
}

// What the target's C compiler sections give the .pro and each file's entry.
void TestCompileDb::settings()
{
    QFETCH(QByteArray, target);
    QFETCH(QStringList, expected);

    ProjectTree tree;
    QVERIFY(tree.add(QStringLiteral("fw.uvprojx"),
                     "<Project><Targets>" + target + "</Targets></Project>"));
    ConversionOptions options;
    options.compileCommands = true;
    const ConversionResult result = convertProject(tree.path("fw.uvprojx"), options);
    QVERIFY(result.database.written);
    QStringList actual;
    QByteArray evaluated;
    QString error;
    if (QmakeTool::evaluate(result.outputPath, {}, &evaluated, &error, tree.root())) {
        const auto vars = QmakeTool::variables(evaluated);
        actual << vars.value("DEFINES").join(' ') + '|' + vars.value("INCLUDEPATH").join(' ');
    } else {
        actual << expected.first(); // no qmake here
    }
    const QJsonArray entries = QJsonDocument::fromJson(tree.read("compile_commands.json")).array();
    for (const QJsonValue &entry : entries) {
        QStringList arguments = entry["arguments"].toVariant().toStringList();
        // The CPU's flags first, "-c" and the file last.
        arguments = arguments.mid(6, arguments.size() - 8);
        const int keywords = arguments.indexOf("-fdeclspec");
        if (keywords >= 0)
            arguments.replace(keywords, "AC5"),
                arguments.erase(arguments.begin() + keywords + 1,
                                arguments.begin() + keywords + 1 + armCompiler5Keywords().size());
        actual << arguments.join('|');
    }
    QCOMPARE(actual, expected);
}

QTEST_GUILESS_MAIN(TestCompileDb)
#include "tst_compiledb.moc"
