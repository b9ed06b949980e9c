// compile_commands.json: which files get entries, clang's arguments for each target, values
// that must stay single arguments, and the JSON read back; clang and qmake on a real entry.

#include "conversion.h"
#include "model/compilerkeywords.h"
#include "projecttree.h"
#include "qmaketool.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

using namespace Corvane;

namespace {

QByteArray file(const QByteArray &type, const QByteArray &path, const QByteArray &options = "")
{
    return "<File><FileType>" + type + "</FileType>\n<FilePath>" + path + "</FilePath>\n" +
           options + "</File>\n";
}

// A target as uVision lays it out: the C compiler's options in <Cads>, the assembler's in
// <Aads>, a group whose own <Cads> follows its name.
QByteArray target(const QByteArray &name, const QByteArray &cpu, const QByteArray &cads,
                  const QByteArray &files, const QByteArray &more = "")
{
    return "<Target><TargetName>" + name + "</TargetName>\n<ToolsetName>ARM-ADS</ToolsetName>\n" +
           more + "<Cpu>" + cpu + "</Cpu>\n<Cads>\n" + cads +
           "</Cads>\n<Aads>\n<MiscControls>--c99</MiscControls>\n</Aads>\n<Groups><Group>\n"
           "<GroupName>G</GroupName>\n<Cads>\n<MiscControls>--c99</MiscControls>\n</Cads>\n"
           "<Files>\n" +
           files + "</Files></Group></Groups></Target>\n";
}

const QByteArray m4 = "IRAM(0x20000000,0x8000) CPUTYPE(\"Cortex-M4\") FPU2 CLOCK(12000000)";
const QByteArray ac6 = "<uAC6>1</uAC6>\n";
const QString triple = QStringLiteral("clang|--target=arm-arm-none-eabi");
const QString m4Flags = triple + "|-mcpu=cortex-m4|-mfpu=fpv4-sp-d16|-mfloat-abi=hard|-mthumb";
// Valid for armcc, and for clang with the keywords' definitions.
const QByteArray armccSource = "__align(8) char b[8]; __packed struct P { char c; int i; };\n"
                               "__irq void IRQ(void) {} __weak __int64 w(void) { return 0; }\n";

// Each entry as "file|argument|argument...", AC5 standing for Arm Compiler 5's keywords.
QStringList readEntries(const QByteArray &json, const QString &directory)
{
    QStringList entries;
    const QJsonArray array = QJsonDocument::fromJson(json).array();
    for (const QJsonValue &value : array) {
        const QJsonObject entry = value.toObject();
        QStringList arguments = entry.value(QStringLiteral("arguments")).toVariant().toStringList();
        if (entry.value(QStringLiteral("directory")).toString() != directory)
            arguments.prepend(QStringLiteral("directory?"));
        const int keywords = arguments.indexOf(QStringLiteral("-fdeclspec"));
        if (keywords > 0) {
            arguments.erase(arguments.begin() + keywords + 1,
                            arguments.begin() + keywords + 1 + armCompiler5Keywords().size());
            arguments[keywords] = QStringLiteral("AC5");
        }
        entries.append(entry.value(QStringLiteral("file")).toString() + QLatin1Char('|') +
                       arguments.join(QLatin1Char('|')));
    }
    return entries;
}

// clang -fsyntax-only on an entry as written, newlib's headers standing in for the compiler's.
QString clangOn(const QStringList &arguments, const QString &directory)
{
    QProcess clang;
    clang.setWorkingDirectory(directory);
    clang.start(arguments.first(),
                arguments.mid(1) +
                    QStringList{"-fsyntax-only", "-isystem", "/usr/lib/arm-none-eabi/include"});
    clang.waitForFinished(60000);
    return clang.exitCode() == 0 ? QString::fromUtf8(clang.readAllStandardError())
                                 : QStringLiteral("failed: ") + clang.readAllStandardError();
}

} // namespace

class TestCompileDb : public QObject
{
    Q_OBJECT

private slots:
    void entries_data();
    void entries();
    void parsesAsTheProDoes();
};

void TestCompileDb::entries_data()
{
    QTest::addColumn<QString>("projectFile");
    QTest::addColumn<QString>("defaultTarget");
    QTest::addColumn<QByteArray>("project");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("notice");

    const QString mdk = QStringLiteral("MDK-ARM/fw.uvprojx");
    const QPair<QByteArray, QString> cpus[] = {
        {"CPUTYPE(\"Cortex-M0+\")", "-mcpu=cortex-m0plus|-mfpu=none|-mfloat-abi=soft|-mthumb"},
        {"CPUTYPE(\"Cortex-M3\") TZ", "-mcpu=cortex-m3|-mfpu=none|-mfloat-abi=soft|-mthumb"},
        {m4, "-mcpu=cortex-m4|-mfpu=fpv4-sp-d16|-mfloat-abi=hard|-mthumb"},
        {"CPUTYPE(\"Cortex-M7\") FPU3(DFPU)",
         "-mcpu=cortex-m7|-mfpu=fpv5-d16|-mfloat-abi=hard|-mthumb"},
        {"CPUTYPE(\"Cortex-M7\") FPU3(SFPU)",
         "-mcpu=cortex-m7|-mfpu=fpv5-sp-d16|-mfloat-abi=hard|-mthumb"},
        {"CPUTYPE(\"Cortex-M23\") TZ", "-mcpu=cortex-m23|-mfpu=none|-mfloat-abi=soft|-mthumb"},
        {"CPUTYPE(\"Cortex-M33\") FPU3(SFPU) DSP TZ",
         "-mcpu=cortex-m33|-mfpu=fpv5-sp-d16|-mfloat-abi=hard|-mthumb"},
        {"CPUTYPE(\"Cortex-M33\") TZ",
         "-mcpu=cortex-m33+nodsp|-mfpu=none|-mfloat-abi=soft|-mthumb"},
        {"CPUTYPE(\"Cortex-M55\") FPU3(DFPU) MVE(INT)",
         "-mcpu=cortex-m55+nomve.fp|-mfpu=fpv5-d16|-mfloat-abi=hard|-mthumb"},
        {"CPUTYPE(\"Cortex-M85\") FPU3(DFPU) MVE(FP)",
         "-march=armv8.1-m.main+dsp+mve.fp|-mfpu=fpv5-d16|-mfloat-abi=hard|-mthumb"},
        {"CPUTYPE(\"SC300\")", "-mcpu=sc300|-mfpu=none|-mfloat-abi=soft|-mthumb"},
        {"CPUTYPE(\"ARM7TDMI\")", "-mcpu=arm7tdmi"},
    };
    for (const auto &cpu : cpus) {
        QTest::newRow(cpu.first.constData())
            << mdk << QString() << target("T", cpu.first, "", file("1", "a.c"), ac6)
            << QStringList{"a.c|" + triple + '|' + cpu.second + "|-c|a.c"} << QString();
    }
    QTest::newRow("kinds: C, C++, a .c compiled as C++; no assembler, header, text, left out")
        << mdk << QString()
        << target("T", m4,
                  "<v6Lang>3</v6Lang>\n<MiscControls>-Wno-x</MiscControls>\n<Define>A,B</Define>"
                  "<IncludePath>..\\Inc</IncludePath>\n",
                  file("1", "..\\Src\\main.c") + file("8", "app.cpp") + file("8", "x.c") +
                      file("2", "startup.s") + file("5", "main.h") + file("5", "readme.txt") +
                      file("1", "out.c", "<IncludeInBuild>0</IncludeInBuild>\n"),
                  ac6)
        << QStringList{"../Src/main.c|" + m4Flags + "|-std=c99|-DA|-DB|-I../Inc|-c|../Src/main.c",
                       "app.cpp|" + m4Flags + "|-DA|-DB|-I../Inc|-c|app.cpp",
                       "x.c|" + m4Flags + "|-DA|-DB|-I../Inc|-x|c++|-c|x.c"}
        << QString();
    QTest::newRow("Arm Compiler 5: none named; not the assembler's or a group's --c99")
        << mdk << QString()
        << target("T", m4, "<uC99>0</uC99>\n<MiscControls></MiscControls>", file("1", "a.c"))
        << QStringList{"a.c|" + m4Flags + "|AC5|-c|a.c"} << QString();
    QTest::newRow("Arm Compiler 5: uC99 and --gnu")
        << mdk << QString()
        << target("T", m4, "<uC99>1</uC99>\n<MiscControls>--GNU</MiscControls>", file("1", "a.c"))
        << QStringList{"a.c|" + m4Flags + "|-std=gnu99|AC5|-c|a.c"} << QString();
    QTest::newRow("Arm Compiler 6: -std= over v6Lang, an unknown one ignored")
        << mdk << QString()
        << target("T", m4, "<v6Lang>5</v6Lang>\n<MiscControls>-std=gnu11 -std=x</MiscControls>",
                  file("1", "a.c"), ac6)
        << QStringList{"a.c|" + m4Flags + "|-std=gnu11|-c|a.c"} << QString();
    QTest::newRow("--target: the values before the first target and the selected one's")
        << mdk << QStringLiteral("B")
        << "<Define>ALL</Define>\n" + target("A", m4, "<Define>NOT_B</Define>", file("1", "a.c")) +
               target("B", m4, "<Define>ONLY_B</Define>", file("1", "b.c"), ac6)
        << QStringList{"b.c|" + m4Flags + "|-DALL|-DONLY_B|-c|b.c"} << QString();
    QTest::newRow("RTE: RTE/_T, _RTE_ and its C source; the Keil compiler's headers last")
        << mdk << QString()
        << target("T", m4, "", file("1", "a.c"), ac6) +
               "<RTE><components><component Cclass=\"Device\" Cgroup=\"Startup\"/></components>"
               "<files><file attr=\"config\" category=\"source\"><instance>RTE\\Device\\D\\s.c"
               "</instance></file><file attr=\"config\" category=\"source\"><instance>"
               "RTE\\Device\\D\\startup.s</instance></file></files></RTE>\n"
        << QStringList{"a.c|" + m4Flags + "|-D_RTE_|-IRTE/_T|-IRTE/Device/D|-isystem|" +
                           "KEIL/ARM/ARMCLANG/include|-c|a.c",
                       "RTE/Device/D/s.c|" + m4Flags + "|-D_RTE_|-IRTE/_T|-IRTE/Device/D|" +
                           "-isystem|KEIL/ARM/ARMCLANG/include|-c|RTE/Device/D/s.c"}
        << QString();
    QTest::newRow("hostile values stay single arguments; Chinese and blank folders")
        << QStringLiteral("工程 A/MDK-ARM/fw.uvprojx") << QString()
        << target("T", m4,
                  "<Define>X -o out.axf,S=\"a b\",Q=\"c,D=$(HOME)</Define>\n"
                  "<IncludePath>-Iinc;..\\a&#10;b;\"..\\用户 代码\"</IncludePath>",
                  file("1", "..\\用户 代码\\主程序.c") + file("1", "$x \"'q'\"&amp;.c"), ac6)
        << QStringList{"../用户 代码/主程序.c|" + m4Flags +
                           "|-DX|-D-o|-Dout.axf|-DS=a b|-DQ=\"c|-DD=$(HOME)|-I-Iinc|-I../a\nb|"
                           "-I../用户 代码|-c|../用户 代码/主程序.c",
                       "$x \"'q'\"&.c|" + m4Flags +
                           "|-DX|-D-o|-Dout.axf|-DS=a b|-DQ=\"c|-DD=$(HOME)|-I-Iinc|-I../a\nb|"
                           "-I../用户 代码|-c|$x \"'q'\"&.c"}
        << QString();
    QTest::newRow("C51: no entries")
        << mdk << QString()
        << QByteArray(target("T", "", "", file("1", "a.c"))).replace("ARM-ADS", "MCS-51")
        << QStringList()
        << "compile_commands.json has no entries: target \"T\" is built with C51, which clang "
           "does not compile";
}

void TestCompileDb::entries()
{
    QFETCH(QString, projectFile);
    QFETCH(QString, defaultTarget);
    QFETCH(QByteArray, project);
    QFETCH(QStringList, expected);
    QFETCH(QString, notice);

    ProjectTree tree;
    QVERIFY(!expected.join(QString()).contains(QLatin1String("KEIL")) ||
            tree.add(QStringLiteral("Keil/ARM/ARMCLANG/include/")));
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
        QCOMPARE(result.notices.contains(notice), !notice.isEmpty());
        const QByteArray json = tree.readFile(result.databasePath);
        QCOMPARE(readEntries(json, dir).replaceInStrings(options.mdkRoot, QStringLiteral("KEIL")),
                 expected);
        if (QStandardPaths::findExecutable(QStringLiteral("clang")).isEmpty() ||
            !QTest::currentDataTag()[0] || QByteArray(QTest::currentDataTag()).contains("hostile"))
            continue;
        // clang on this machine takes every flag, and Arm Compiler 5 code with the keywords.
        const QJsonArray entries = QJsonDocument::fromJson(json).array();
        for (const QJsonValue &entry : entries) {
            const QStringList arguments =
                entry[QStringLiteral("arguments")].toVariant().toStringList();
            QVERIFY(tree.add(QFileInfo(projectFile).path() + QLatin1Char('/') + arguments.last(),
                             arguments.contains(QStringLiteral("-fdeclspec")) ? armccSource : ""));
            QCOMPARE(clangOn(arguments, dir), QString());
        }
    }
}

void TestCompileDb::parsesAsTheProDoes()
{
    // The .pro's DEFINES and INCLUDEPATH as qmake reads them, with the keywords only for
    // Qt Creator (qtc_run); the database's -D and -I are the same.
    ProjectTree tree;
    const QString projectFile = QStringLiteral("fw/MDK-ARM/fw.uvprojx");
    QVERIFY(tree.add(projectFile, "<Project><Targets>" +
                                      target("T", m4,
                                             "<Define>A=1,B</Define><IncludePath>..\\Inc;"
                                             "..\\My Dir</IncludePath>",
                                             file("1", "main.c")) +
                                      "</Targets></Project>"));
    ConversionOptions options;
    options.compileCommands = true;
    QVERIFY(convertProject(tree.path(projectFile), options).databaseWritten);
    const QString dir = tree.path(QStringLiteral("fw/MDK-ARM"));
    const QStringList arguments =
        QJsonDocument::fromJson(tree.read("fw/MDK-ARM/compile_commands.json"))
            .array()
            .first()[QStringLiteral("arguments")]
            .toVariant()
            .toStringList();
    QString whyNot;
    if (QmakeTool::program(&whyNot).isEmpty())
        QSKIP(qPrintable(whyNot));
    QByteArray plain;
    QByteArray codeModel;
    QVERIFY2(QmakeTool::evaluate(tree.path("fw/MDK-ARM/fw.pro"), {}, &plain, &whyNot),
             qPrintable(whyNot));
    QVERIFY2(QmakeTool::evaluate(tree.path("fw/MDK-ARM/fw.pro"), {"CONFIG+=qtc_run"}, &codeModel,
                                 &whyNot),
             qPrintable(whyNot));
    const QStringList defines = QmakeTool::variables(plain).value(QStringLiteral("DEFINES"));
    QCOMPARE(QmakeTool::variables(codeModel).value(QStringLiteral("DEFINES")),
             defines + armCompiler5Keywords());
    QStringList expected = QStringList{"-fdeclspec"} +
                           armCompiler5Keywords().replaceInStrings(QRegularExpression("^"), "-D");
    for (const QString &define : defines)
        expected << "-D" + define;
    for (const QString &folder : QmakeTool::variables(plain).value(QStringLiteral("INCLUDEPATH")))
        expected << "-I" + folder;
    QCOMPARE(arguments.mid(6, expected.size()), expected);
}

QTEST_GUILESS_MAIN(TestCompileDb)
#include "tst_compiledb.moc"
