// Byte-exact output of whole conversion runs on realistic projects.

#include "conversion/conversion.h"
#include "projecttree.h"
#include "uvprojx.h"

#include <QtTest>

using namespace Corvane;

namespace {

const QString stampText = QStringLiteral("2024-03-01 09:05");

ConversionOptions fixedTime()
{
    ConversionOptions options;
    options.timestamp = QDateTime(QDate(2024, 3, 1), QTime(9, 5, 42));
    return options;
}

QByteArray wrapped(const QByteArray &body)
{
    return expectedBanner(stampText) + body + "\r\n\r\n\r\n";
}

UvTarget workedExampleTarget()
{
    UvTarget t;
    t.device = "STM32F103C8";
    t.define = "USE_HAL_DRIVER,STM32F103xB";
    t.includePath = "..\\Inc;..\\Drivers\\CMSIS\\Include";
    t.files = {"..\\Src\\main.c", "startup_stm32f103xb.s"};
    return t;
}

const QStringList workedExampleHeaders = {QStringLiteral("Inc/main.h"),
                                          QStringLiteral("Drivers/CMSIS/Include/core_cm3.h")};

// The reference output for the worked example, spelled out in full.
const QByteArray workedExampleOutput = "###########################################\r\n"
                                       "# Corvane V1.0\r\n"
                                       "# The file was created on 2024-03-01 09:05\r\n"
                                       "# By: Tolvar\r\n"
                                       "###########################################\r\n"
                                       "\r\n"
                                       "CONFIG += console\r\n"
                                       "CONFIG -= qt\r\n"
                                       "\r\n"
                                       "\r\n"
                                       "# Device \tSTM32F103C8\r\n"
                                       "\r\n"
                                       "\r\n"
                                       "DEFINES += \\ \r\n"
                                       "\tUSE_HAL_DRIVER \\ \r\n"
                                       "\tSTM32F103xB\r\n"
                                       "\r\n"
                                       "\r\n"
                                       "INCLUDEPATH += \\ \r\n"
                                       "\t../Inc \\ \r\n"
                                       "\t../Drivers/CMSIS/Include\r\n"
                                       "\r\n"
                                       "\r\n"
                                       "\r\n"
                                       "HEADERS += \\ \r\n"
                                       "\t../Drivers/CMSIS/Include/core_cm3.h \\\r\n"
                                       "\t../Inc/main.h \\\r\n"
                                       "\r\n"
                                       "\r\n"
                                       "\r\n"
                                       "\r\n"
                                       "SOURCES += \\ \r\n"
                                       "\t../Src/main.c \\\r\n"
                                       "\tstartup_stm32f103xb.s \\\r\n" +
                                       Pro::keywords() + "\r\n\r\n\r\n";

} // namespace

class TestConversion : public QObject
{
    Q_OBJECT

private slots:
    void output_data();
    void output();
    void reconvertReplacesPreviousFile();
    void bannerShowsLocalTimeByDefault();
};

void TestConversion::output_data()
{
    QTest::addColumn<QString>("projectFile"); // relative to the tree root
    QTest::addColumn<QByteArray>("project");
    QTest::addColumn<QStringList>("files"); // extra files; a trailing '/' makes a directory
    QTest::addColumn<QByteArray>("expected");

    const QString mdk = QStringLiteral("MDK-ARM/fw.uvprojx");
    const QByteArray example = uvProject({workedExampleTarget()});

    QTest::newRow("worked example")
        << mdk << example << workedExampleHeaders << workedExampleOutput;
    QTest::newRow("worked example, CRLF")
        << mdk << crlf(example) << workedExampleHeaders << workedExampleOutput;
    QTest::newRow("worked example, legacy .uvproj")
        << QStringLiteral("MDK-ARM/fw.uvproj") << example << workedExampleHeaders
        << workedExampleOutput;
    {
        // The same lines without indentation and with tabs: only the values matter.
        QByteArray flat = example;
        flat.replace("  ", "\t");
        QTest::newRow("tab indentation")
            << mdk << flat << workedExampleHeaders << workedExampleOutput;
    }
    {
        // Every target repeats its blocks; the second target's sources need an opener of
        // their own or they would extend that target's HEADERS list.
        UvTarget debug = workedExampleTarget();
        debug.name = "Debug";
        UvTarget release = workedExampleTarget();
        release.name = "Release";
        release.device = "STM32F103RB";
        release.define = "USE_HAL_DRIVER,STM32F103xB,NDEBUG";
        release.includePath = "..\\Inc";
        release.files = {"..\\Src\\main.c"};
        const QByteArray first =
            Pro::device("STM32F103C8") + Pro::defines({"USE_HAL_DRIVER", "STM32F103xB"}) +
            Pro::includes({"../Inc", "../Drivers/CMSIS/Include"}) +
            Pro::entries({"../Drivers/CMSIS/Include/core_cm3.h", "../Inc/main.h"}) +
            Pro::sources({"../Src/main.c", "startup_stm32f103xb.s"}) + Pro::keywords();
        const QByteArray second = Pro::device("STM32F103RB") +
                                  Pro::defines({"USE_HAL_DRIVER", "STM32F103xB", "NDEBUG"}) +
                                  Pro::includes({"../Inc"}) + Pro::entries({"../Inc/main.h"}) +
                                  Pro::sources({"../Src/main.c"}) + Pro::keywords();
        // Each target in a scope of its own, the first the default.
        QTest::newRow("two targets, CRLF")
            << mdk << crlf(uvProject({debug, release})) << workedExampleHeaders
            << wrapped(Pro::scopeDefault({"Debug", "Release"}) +
                       "equals(UV_TARGET, \"Debug\") {\r\n" + first +
                       "}\r\nequals(UV_TARGET, \"Release\") {\r\n" + second +
                       "}\r\n"
                       // An unknown UV_TARGET stops qmake rather than reading no target.
                       "\r\n# Check UV_TARGET\r\n"
                       "!equals(UV_TARGET, \"Debug\"):!equals(UV_TARGET, \"Release\"): "
                       "error(\"UV_TARGET \\\"\"$${UV_TARGET}\"\\\" names no target of this "
                       "project; its targets are 1: \\\"Debug\\\", 2: \\\"Release\\\". "
                       "UV_TARGET takes a target's number in place of its name.\")\r\n");
    }
    {
        // Real SDK projects carry include lines of several thousand bytes.
        UvTarget t;
        t.device = "nRF52832_xxAA";
        QList<QByteArray> written;
        QByteArray list;
        for (int i = 0; i < 400; ++i) {
            const QByteArray dir = "..\\..\\components\\libraries\\module_" + QByteArray::number(i);
            list += (i ? ";" : "") + dir;
            written.append(QByteArray(dir).replace('\\', '/'));
        }
        t.includePath = list;
        t.files = {"..\\main.c"};
        QVERIFY(list.size() > 10000);
        const QByteArray body = Pro::device("nRF52832_xxAA") + Pro::includes(written) +
                                Pro::entries({"../../components/libraries/module_399/m399.h",
                                              "../../components/libraries/module_7/m7.h"}) +
                                Pro::sources({"../main.c"});
        QTest::newRow("include line over 4 KiB")
            << QStringLiteral("pca10040/arm5/ble_app.uvprojx") << crlf(uvProject({t}))
            << QStringList{QStringLiteral("components/libraries/module_7/m7.h"),
                           QStringLiteral("components/libraries/module_399/m399.h")}
            << wrapped(body + Pro::keywords());
    }
    {
        // Blanks inside values stay; such paths are quoted so qmake reads one path.
        UvTarget t;
        t.device = "STM32F103C8";
        t.define = "USE_HAL_DRIVER";
        t.includePath = "..\\My Inc; \"..\\Quoted Dir\" ;..\\Inc";
        t.files = {"..\\My Src\\main.c", "..\\Src\\it.c"};
        const QByteArray body = Pro::device("STM32F103C8") + Pro::defines({"USE_HAL_DRIVER"}) +
                                Pro::includes({"\"../My Inc\"", "\"../Quoted Dir\"", "../Inc"}) +
                                Pro::entries({"../Inc/main.h", "\"../Quoted Dir/q.h\"",
                                              "\"../My Inc/a b.h\"", "\"../My Inc/board.h\""}) +
                                Pro::sources({"\"../My Src/main.c\"", "../Src/it.c"});
        QTest::newRow("blanks in paths")
            << QStringLiteral("Example Project/MDK-ARM/Project.uvprojx") << uvProject({t})
            << QStringList{QStringLiteral("Example Project/My Inc/a b.h"),
                           QStringLiteral("Example Project/My Inc/board.h"),
                           QStringLiteral("Example Project/Quoted Dir/q.h"),
                           QStringLiteral("Example Project/Inc/main.h")}
            << wrapped(body + Pro::keywords());
    }
    {
        UvTarget t;
        t.device = "STM32F103ZE";
        t.define = "STM32F10X_HD,USE_STDPERIPH_DRIVER";
        t.includePath = "..\\用户;..\\..\\新建文件夹 (2)\\FWLib";
        t.files = {"..\\用户\\主程序.c", "..\\..\\新建文件夹 (2)\\FWLib\\misc.c"};
        const QByteArray body =
            Pro::device("STM32F103ZE") + Pro::defines({"STM32F10X_HD", "USE_STDPERIPH_DRIVER"}) +
            Pro::includes({"../用户", "\"../../新建文件夹 (2)/FWLib\""}) +
            Pro::entries({"\"../../新建文件夹 (2)/FWLib/misc.h\"", "../用户/led.h"}) +
            Pro::sources({"../用户/主程序.c", "\"../../新建文件夹 (2)/FWLib/misc.c\""});
        QTest::newRow("Chinese paths, UTF-8")
            << QStringLiteral("工程/RVMDK（uv5）/流水灯.uvprojx") << uvProject({t})
            << QStringList{QStringLiteral("工程/用户/led.h"),
                           QStringLiteral("新建文件夹 (2)/FWLib/misc.h")}
            << wrapped(body + Pro::keywords());
    }
    {
        // Only headers directly inside the directory, in case-sensitive name order; the
        // filter ignores case, hidden files and directories do not count.
        UvTarget t;
        t.device = "STM32F103C8";
        t.includePath = "..\\..\\Drivers\\CMSIS\\Include;..\\Inc";
        const QByteArray body = Pro::device("STM32F103C8") +
                                Pro::includes({"../../Drivers/CMSIS/Include", "../Inc"}) +
                                Pro::entries({"../Inc/B.h", "../Inc/MAIN.H", "../Inc/a.h",
                                              "../../Drivers/CMSIS/Include/core_cm4.h"});
        QTest::newRow("header selection and order")
            << QStringLiteral("fw/MDK-ARM/fw.uvprojx") << uvProject({t})
            << QStringList{QStringLiteral("fw/Inc/a.h"),
                           QStringLiteral("fw/Inc/B.h"),
                           QStringLiteral("fw/Inc/MAIN.H"),
                           QStringLiteral("fw/Inc/x.h/"),
                           QStringLiteral("fw/Inc/x.h/inner.h"),
                           QStringLiteral("fw/Inc/.hidden.h"),
                           QStringLiteral("fw/Inc/notes.txt"),
                           QStringLiteral("fw/Inc/types.hpp"),
                           QStringLiteral("fw/Inc/sub/deep.h"),
                           QStringLiteral("Drivers/CMSIS/Include/core_cm4.h")}
            << wrapped(body + Pro::keywords());
    }
    {
        // Missing and absolute directories are listed as include paths but hold nothing.
        UvTarget t;
        t.device = "LM4F232H5QD";
        t.includePath = "..\\Missing;F:\\MSP430\\TM4C123\\Code;/usr/include;..\\Inc";
        const QByteArray body =
            Pro::device("LM4F232H5QD") +
            Pro::includes({"../Missing", "F:/MSP430/TM4C123/Code", "/usr/include", "../Inc"}) +
            Pro::entries({"../Inc/main.h"});
        QTest::newRow("missing and absolute directories")
            << mdk << uvProject({t}) << QStringList{QStringLiteral("Inc/main.h")}
            << wrapped(body + Pro::keywords());
    }
    {
        // An empty entry lists nothing: it must not turn the project directory's headers
        // into "/name" paths.
        UvTarget t;
        t.device = "TM4C123GH6PM";
        t.includePath = "..;;..\\Inc;";
        const QByteArray body = Pro::device("TM4C123GH6PM") +
                                Pro::includes({"..", "", "../Inc", ""}) +
                                Pro::entries({"../Inc/main.h", "../top.h"});
        QTest::newRow("empty include entries")
            << mdk << uvProject({t})
            << QStringList{QStringLiteral("Inc/main.h"), QStringLiteral("top.h"),
                           QStringLiteral("MDK-ARM/local.h")}
            << wrapped(body + Pro::keywords());
    }
    {
        // ".\" and trailing separators stay as written; the entry and the name are joined
        // with one '/' between them.
        UvTarget t;
        t.device = "STM32F103C8";
        t.includePath = ".\\Start\\;.\\;..\\";
        const QByteArray body = Pro::device("STM32F103C8") +
                                Pro::includes({"./Start/", "./", "../"}) +
                                Pro::entries({"../top.h", "./board.h", "./Start/core_cm3.h"});
        QTest::newRow("dot and trailing separators")
            << mdk << uvProject({t})
            << QStringList{QStringLiteral("MDK-ARM/Start/core_cm3.h"),
                           QStringLiteral("MDK-ARM/board.h"), QStringLiteral("top.h")}
            << wrapped(body + Pro::keywords());
    }
    {
        UvTarget t;
        t.device = "nRF52832_xxAA";
        t.define = " NRF52 BOARD_PCA10040  NRF52_PAN_74, CONFIG_GPIO_AS_PINRESET,,"
                   "VERSION=\"1 2\",CFG_PATH=..\\cfg,";
        const QByteArray body =
            Pro::device("nRF52832_xxAA") +
            Pro::defines({"NRF52", "BOARD_PCA10040", "NRF52_PAN_74", "CONFIG_GPIO_AS_PINRESET", "",
                          "VERSION=\"1 2\"", "CFG_PATH=../cfg", ""});
        QTest::newRow("define lists")
            << mdk << uvProject({t}) << QStringList() << wrapped(body + Pro::keywords());
    }
    {
        // Empty elements, also behind tab indentation or holding only blanks, write nothing.
        const QByteArray project = "<Project>\n"
                                   "\t\t\t<Device></Device>\n"
                                   "\t\t<Define></Define>\n"
                                   "  <Define>   </Define>\n"
                                   "\t<IncludePath>\t</IncludePath>\n"
                                   "  <FilePath></FilePath>\n"
                                   "  <FilePath>main.c</FilePath>\n"
                                   "</Project>\n";
        QTest::newRow("empty elements")
            << mdk << project << QStringList() << wrapped(Pro::sources({"main.c"}));
    }
    {
        const QByteArray project = "<Project>\n  <TargetName>Target 1</TargetName>\n"
                                   "  <FileName>main.c</FileName>\n</Project>\n";
        QTest::newRow("nothing recognised") << mdk << project << QStringList() << wrapped("");
        QTest::newRow("empty file") << mdk << QByteArray() << QStringList() << wrapped("");
    }
    {
        // Only the closing tag counts, and only past the opening tag's length.
        const QByteArray project = "abcdefghi</Define>\n"
                                   "abcdefgh</Define>\n"
                                   "<FilePath>x</FilePath>\n"
                                   "<FilePath></FilePath>\n"
                                   "  <Device>  </Device>\n";
        QTest::newRow("closing tag position")
            << mdk << project << QStringList()
            << wrapped(Pro::defines({"abcdefghi"}) + Pro::sources({"x"}));
        QByteArray nul = "<Device>AB";
        nul += '\0';
        nul += "C</Device>\n<Device>OK</Device>\n";
        QTest::newRow("line ends at a NUL byte")
            << mdk << nul << QStringList() << wrapped(Pro::device("OK"));
    }
    {
        // Source entries interrupted by another block get a fresh opener.
        const QByteArray project = "  <FilePath>a.c</FilePath>\n"
                                   "  <FilePath>b.c</FilePath>\n"
                                   "  <Define>FILE_LEVEL</Define>\n"
                                   "  <FilePath>c.c</FilePath>\n";
        QTest::newRow("sources after another block")
            << mdk << project << QStringList()
            << wrapped(Pro::sources({"a.c", "b.c"}) + Pro::defines({"FILE_LEVEL"}) +
                       Pro::sources({"c.c"}));
    }
    {
        const QByteArray project = "<Device>ARMCM0P ü</Device>\n"
                                   "<Define>NAME=é</Define>\n"
                                   "<FilePath>..\\Ω\\main.c</FilePath>\n";
        QTest::newRow("non-Latin-1 text")
            << mdk << project << QStringList()
            << wrapped(Pro::device("ARMCM0P ü") + Pro::defines({"NAME=é"}) +
                       Pro::sources({"../Ω/main.c"}));
    }
}

void TestConversion::output()
{
    QFETCH(QString, projectFile);
    QFETCH(QByteArray, project);
    QFETCH(QStringList, files);
    QFETCH(QByteArray, expected);

    ProjectTree tree;
    QVERIFY(tree.isValid());
    QVERIFY(tree.add(projectFile, project));
    QVERIFY(tree.addAll(files));

    const ConversionResult result = convertProject(tree.path(projectFile), fixedTime());
    QCOMPARE(result.message(), statusMessage(ConversionStatus::Converted));
    QCOMPARE(result.status, ConversionStatus::Converted);
    const QString proFile = QFileInfo(projectFile).path() + QLatin1Char('/') +
                            QFileInfo(projectFile).completeBaseName() + QLatin1String(".pro");
    QCOMPARE(result.outputPath, QFileInfo(tree.path(projectFile)).absolutePath() +
                                    QDir::separator() + QFileInfo(proFile).fileName());
    QCOMPARE(withoutUvisionBuild(tree.read(proFile)), expected);
    QCOMPARE(tree.read(projectFile), project);

    // Nothing else appears next to the project: no temporary file is left behind.
    QStringList before = files;
    before << projectFile << proFile;
    const QStringList entries = tree.entries();
    for (const QString &entry : entries) {
        if (!entry.endsWith(QLatin1Char('/')))
            QVERIFY2(before.contains(entry), qPrintable(entry));
    }
}

void TestConversion::reconvertReplacesPreviousFile()
{
    ProjectTree tree;
    QVERIFY(tree.add(QStringLiteral("MDK-ARM/fw.uvprojx"), uvProject({workedExampleTarget()})));
    QVERIFY(tree.addAll(workedExampleHeaders));
    QVERIFY(tree.add(QStringLiteral("MDK-ARM/fw.pro"), QByteArray(100000, 'x')));

    QVERIFY(
        convertProject(tree.path(QStringLiteral("MDK-ARM/fw.uvprojx")), fixedTime()).succeeded());
    QCOMPARE(withoutUvisionBuild(tree.read(QStringLiteral("MDK-ARM/fw.pro"))), workedExampleOutput);
    // Converting again gives the same file.
    QVERIFY(
        convertProject(tree.path(QStringLiteral("MDK-ARM/fw.uvprojx")), fixedTime()).succeeded());
    QCOMPARE(withoutUvisionBuild(tree.read(QStringLiteral("MDK-ARM/fw.pro"))), workedExampleOutput);
}

void TestConversion::bannerShowsLocalTimeByDefault()
{
    ProjectTree tree;
    QVERIFY(tree.add(QStringLiteral("fw.uvprojx"), "<Device>X1</Device>\n"));
    const QDateTime before = QDateTime::currentDateTime();
    QVERIFY(convertProject(tree.path(QStringLiteral("fw.uvprojx"))).succeeded());
    const QDateTime after = QDateTime::currentDateTime();

    const QList<QByteArray> lines = tree.read(QStringLiteral("fw.pro")).split('\n');
    QVERIFY(lines.size() > 3);
    const QByteArray prefix = "# The file was created on ";
    QVERIFY(lines.at(2).startsWith(prefix));
    const QString stamp = QString::fromUtf8(lines.at(2).mid(prefix.size())).chopped(1);
    const QString format = QStringLiteral("yyyy-MM-dd hh:mm");
    QVERIFY2(stamp == before.toString(format) || stamp == after.toString(format),
             qPrintable(stamp));
}

QTEST_GUILESS_MAIN(TestConversion)
#include "tst_conversion.moc"
