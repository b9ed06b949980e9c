// compile_commands.json: the files that get entries, clang's arguments for a target, values
// that stay single arguments, the JSON read back. tools/check-compiledb runs entries through
// clang and holds them against the .pro's DEFINES and INCLUDEPATH.

#include "conversion.h"
#include "model/compilerkeywords.h"
#include "projecttree.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

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

} // namespace

class TestCompileDb : public QObject
{
    Q_OBJECT

private slots:
    void entries_data();
    void entries();
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
    QTest::newRow("Arm Compiler 5: no standard; not the assembler's or a group's --c99")
        << mdk << QString()
        << target("T", m4, "<uC99>0</uC99>\n<MiscControls/>", file("1", "a.c"), ac5)
        << QStringList{m4Flags + "|AC5|-c|a.c"};
    QTest::newRow("Arm Compiler 5: uC99 and --gnu")
        << mdk << QString()
        << target("T", m4, "<uC99>1</uC99>\n<MiscControls>--GNU</MiscControls>", file("1", "a.c"),
                  ac5)
        << QStringList{m4Flags + "|-std=gnu99|AC5|-c|a.c"};
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
        QVERIFY(result.databaseWritten);
        QCOMPARE(result.databasePath, dir + QStringLiteral("/compile_commands.json"));
        const QJsonArray array =
            QJsonDocument::fromJson(tree.readFile(result.databasePath)).array();
        QCOMPARE((readEntries(array, dir) + result.notices.filter("compile_commands"))
                     .replaceInStrings(options.mdkRoot, QStringLiteral("KEIL")),
                 expected);
    }
}

QTEST_GUILESS_MAIN(TestCompileDb)
#include "tst_compiledb.moc"
