// corvane-cli as scripts use it: exit status, stdout, stderr and the files it writes.

#include "clioutput.h"
#include "projecttree.h"

#include <QProcess>
#include <QtTest>

#include <csignal>
#include <cstdio>

namespace {

const QByteArray project = "    <Device>STM32F103C8</Device>\r\n"
                           "    <Define>USE_HAL_DRIVER,STM32F103xB</Define>\r\n"
                           "    <FilePath>..\\Src\\main.c</FilePath>\r\n";

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run runCli(const QStringList &args, const QString &workDir,
           const QMap<QString, QString> &env = QMap<QString, QString>())
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("SOURCE_DATE_EPOCH"));
    for (auto it = env.cbegin(); it != env.cend(); ++it)
        environment.insert(it.key(), it.value());
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workDir);
    process.start(QStringLiteral(CORVANE_CLI), args);
    Run run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void conversions_data();
    void conversions();
    void usage_data();
    void usage();
    void sourceDateEpoch_data();
    void sourceDateEpoch();
    void targetOption_data();
    void targetOption();
    void fileNotices();
    void packNotices_data();
    void packNotices();
    void printedPathExists_data();
    void printedPathExists();
    void workspaces_data();
    void workspaces();
    void watch_data();
    void watch();
};

void TestCli::conversions_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("stdoutLines"); // "@" stands for the tree root
    QTest::addColumn<QStringList>("stderrLines");
    QTest::addColumn<QStringList>("written");

    QTest::newRow("one project") << QStringList{QStringLiteral("MDK-ARM/fw.uvprojx")} << 0
                                 << QStringList{QStringLiteral("@/MDK-ARM/fw.pro")} << QStringList()
                                 << QStringList{QStringLiteral("MDK-ARM/fw.pro")};
    QTest::newRow("two projects")
        << QStringList{QStringLiteral("MDK-ARM/fw.uvprojx"), QStringLiteral("USER/TEST.uvproj")}
        << 0 << QStringList{QStringLiteral("@/MDK-ARM/fw.pro"), QStringLiteral("@/USER/TEST.pro")}
        << QStringList()
        << QStringList{QStringLiteral("MDK-ARM/fw.pro"), QStringLiteral("USER/TEST.pro")};
    QTest::newRow("failures among successes")
        << QStringList{QString(), QStringLiteral("MDK-ARM/fw.uvprojx"),
                       QStringLiteral("readme.txt"), QStringLiteral("gone.uvprojx")}
        << 1 << QStringList{QStringLiteral("@/MDK-ARM/fw.pro")}
        << QStringList{QString::fromUtf8(": 打开文件路径为空！"),
                       QString::fromUtf8("readme.txt: 打开文件路径有误！"),
                       QString::fromUtf8("gone.uvprojx: 打开工程文件失败！")}
        << QStringList{QStringLiteral("MDK-ARM/fw.pro")};
    QTest::newRow("output would replace the project")
        << QStringList{QStringLiteral("a.uvproj.pro")} << 1 << QStringList()
        << QStringList{QString::fromUtf8("a.uvproj.pro: 打开文件路径有误！")} << QStringList();
    QTest::newRow("Chinese path") << QStringList{QString::fromUtf8(
                                         "4-1 OLED显示屏/Project.uvprojx")}
                                  << 0
                                  << QStringList{QString::fromUtf8("@/4-1 OLED显示屏/Project.pro")}
                                  << QStringList()
                                  << QStringList{QString::fromUtf8("4-1 OLED显示屏/Project.pro")};
}

void TestCli::conversions()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QStringList, stdoutLines);
    QFETCH(QStringList, stderrLines);
    QFETCH(QStringList, written);

    ProjectTree tree;
    QVERIFY(tree.add(QStringLiteral("MDK-ARM/fw.uvprojx"), project));
    QVERIFY(tree.add(QStringLiteral("USER/TEST.uvproj"), project));
    QVERIFY(tree.add(QStringLiteral("a.uvproj.pro"), project));
    QVERIFY(tree.add(QStringLiteral("readme.txt"), project));
    QVERIFY(tree.add(QString::fromUtf8("4-1 OLED显示屏/Project.uvprojx"), project));
    QVERIFY(tree.add(QStringLiteral("Src/main.c")));
    const QStringList before = tree.entries();

    const Run run = runCli(args, tree.root());
    QCOMPARE(run.exitCode, exitCode);
    QString expectedOut;
    for (const QString &line : stdoutLines)
        expectedOut += CliOutput::pathLine(QString(line).replace(QLatin1Char('@'), tree.root()));
    QCOMPARE(run.out, expectedOut);
    QString expectedErr;
    for (const QString &line : stderrLines)
        expectedErr += CliOutput::line(line);
    QCOMPARE(run.err, expectedErr);

    QStringList after = before + written;
    after.sort();
    QCOMPARE(tree.entries(), after);
    for (const QString &pro : written)
        QVERIFY(
            tree.read(pro).contains("DEFINES += \\ \r\n\tUSE_HAL_DRIVER \\ \r\n\tSTM32F103xB\r\n"));
    QCOMPARE(tree.read(QStringLiteral("a.uvproj.pro")), project);
}

void TestCli::usage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stdoutHas");
    QTest::addColumn<QString>("stderrHas");

    QTest::newRow("no arguments") << QStringList() << 2 << QString() << QStringLiteral("Usage:");
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--frobnicate")} << 2 << QString()
                                    << QStringLiteral("frobnicate");
    QTest::newRow("help") << QStringList{QStringLiteral("--help")} << 0
                          << QStringLiteral("PROJECT_FILE") << QString();
    // The tests run with CMSIS_PACK_ROOT set.
    QTest::newRow("help names the pack root")
        << QStringList{QStringLiteral("--help")} << 0
        << QStringLiteral("Packs are looked for in ") +
               QDir::toNativeSeparators(qEnvironmentVariable("CMSIS_PACK_ROOT")) +
               QStringLiteral(" (from CMSIS_PACK_ROOT) unless --pack-root names a folder.")
        << QString();
    QTest::newRow("version") << QStringList{QStringLiteral("--version")} << 0
                             << QStringLiteral("corvane-cli 1.1") << QString();
}

void TestCli::usage()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, stdoutHas);
    QFETCH(QString, stderrHas);

    ProjectTree tree;
    const Run run = runCli(args, tree.root());
    QCOMPARE(run.exitCode, exitCode);
    if (stdoutHas.isEmpty())
        QVERIFY2(run.out.isEmpty(), qPrintable(run.out));
    else
        QVERIFY2(run.out.contains(stdoutHas), qPrintable(run.out));
    if (stderrHas.isEmpty())
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
    else
        QVERIFY2(run.err.contains(stderrHas), qPrintable(run.err));
    QVERIFY(tree.entries().isEmpty());
}

void TestCli::sourceDateEpoch_data()
{
    QTest::addColumn<QString>("epoch");
    QTest::addColumn<QString>("timeZone");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("stamp");

    // The banner shows the instant in UTC, whatever the local zone.
    QTest::newRow("zero") << QStringLiteral("0") << QStringLiteral("UTC") << 0
                          << QByteArray("1970-01-01 00:00");
    QTest::newRow("UTC regardless of zone")
        << QStringLiteral("1709283942") << QStringLiteral("Asia/Shanghai") << 0
        << QByteArray("2024-03-01 09:05");
    QTest::newRow("not a number") << QStringLiteral("yesterday") << QStringLiteral("UTC") << 2
                                  << QByteArray();
}

void TestCli::sourceDateEpoch()
{
    QFETCH(QString, epoch);
    QFETCH(QString, timeZone);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, stamp);

    ProjectTree tree;
    QVERIFY(tree.add(QStringLiteral("fw.uvprojx"), project));
    const Run run =
        runCli({QStringLiteral("fw.uvprojx")}, tree.root(),
               {{QStringLiteral("SOURCE_DATE_EPOCH"), epoch}, {QStringLiteral("TZ"), timeZone}});
    QCOMPARE(run.exitCode, exitCode);
    if (stamp.isEmpty()) {
        QVERIFY(run.err.contains(QLatin1String("SOURCE_DATE_EPOCH")));
        QVERIFY(!QFile::exists(tree.path(QStringLiteral("fw.pro"))));
        return;
    }
    const QByteArray expected =
        expectedBanner(QString::fromLatin1(stamp)) +
        "# Device \tSTM32F103C8\r\n\r\n"
        "\r\nDEFINES += \\ \r\n\tUSE_HAL_DRIVER \\ \r\n\tSTM32F103xB\r\n\r\n"
        "\r\n\r\n\r\n\r\nSOURCES += \\ \r\n\t../Src/main.c \\\r\n"
        "\r\n\r\n\r\n";
    QCOMPARE(withoutUvisionBuild(tree.read(QStringLiteral("fw.pro"))), expected);
}

void TestCli::targetOption_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("defaultLine"); // empty: no .pro may be written

    QTest::newRow("first target") << QStringLiteral("Debug") << 0
                                  << QByteArray("isEmpty(UV_TARGET): UV_TARGET = \"Debug\"\r\n");
    QTest::newRow("second target") << QStringLiteral("Release") << 0
                                   << QByteArray("isEmpty(UV_TARGET): UV_TARGET = \"Release\"\r\n");
    QTest::newRow("name with a blank")
        << QString::fromUtf8("调试 1") << 0
        << QByteArray("isEmpty(UV_TARGET): UV_TARGET = \"\xe8\xb0\x83\xe8\xaf\x95 1\"\r\n");
    QTest::newRow("by number, as UV_TARGET")
        << QStringLiteral("2") << 0
        << QByteArray("isEmpty(UV_TARGET): UV_TARGET = \"Release\"\r\n");
    QTest::newRow("no such number") << QStringLiteral("4") << 1 << QByteArray();
    QTest::newRow("unknown target") << QStringLiteral("Relase") << 1 << QByteArray();
    QTest::newRow("letter case counts") << QStringLiteral("debug") << 1 << QByteArray();
}

void TestCli::targetOption()
{
    QFETCH(QString, target);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, defaultLine);

    const QByteArray targets = "<Project>\n"
                               "  <TargetName>Debug</TargetName>\n"
                               "  <FilePath>a.c</FilePath>\n"
                               "  <TargetName>Release</TargetName>\n"
                               "  <FilePath>b.c</FilePath>\n"
                               "  <TargetName>\xe8\xb0\x83\xe8\xaf\x95 1</TargetName>\n"
                               "</Project>\n";
    ProjectTree tree;
    QVERIFY(tree.add(QStringLiteral("fw.uvprojx"), targets));
    QVERIFY(tree.add(QStringLiteral("a.c")));
    QVERIFY(tree.add(QStringLiteral("b.c")));
    QVERIFY(tree.add(QStringLiteral("fw.pro"), "old"));
    const Run run =
        runCli({QStringLiteral("--target"), target, QStringLiteral("fw.uvprojx")}, tree.root());
    QCOMPARE(run.exitCode, exitCode);
    if (defaultLine.isEmpty()) {
        // Nothing written, and the message names what the project has.
        QCOMPARE(tree.read(QStringLiteral("fw.pro")), QByteArray("old"));
        QCOMPARE(tree.entries(),
                 (QStringList{QStringLiteral("a.c"), QStringLiteral("b.c"),
                              QStringLiteral("fw.pro"), QStringLiteral("fw.uvprojx")}));
        QVERIFY2(run.err.contains(QLatin1Char('"') + target + QLatin1Char('"')) &&
                     run.err.contains(QString::fromUtf8("\"Debug\", \"Release\", \"调试 1\"")),
                 qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
        return;
    }
    const QByteArray pro = tree.read(QStringLiteral("fw.pro"));
    // The default changes; the scopes stay in project order.
    QVERIFY2(pro.contains(QByteArray(defaultLine + "# UV_TARGET by number\r\n")) &&
                 pro.contains("\"\r\nequals(UV_TARGET, \"Debug\") {\r\n"),
             pro.constData());
    QVERIFY(run.err.isEmpty());
}

void TestCli::fileNotices()
{
    // A file the project names in another letter case than the disk has: the .pro is
    // written, and stderr says where the file is.
    ProjectTree tree;
    QVERIFY(
        tree.add(QStringLiteral("MDK-ARM/fw.uvprojx"), "<FilePath>..\\src\\Main.c</FilePath>\n"));
    QVERIFY(tree.add(QStringLiteral("Src/main.c")));
    const Run run = runCli({QStringLiteral("MDK-ARM/fw.uvprojx")}, tree.root());
    QCOMPARE(run.exitCode, 0);
    if (!caseSensitiveFileSystem(tree.root())) {
        QCOMPARE(run.err, QString()); // nothing is missing where letter case does not count
        return;
    }
    QCOMPARE(run.err, CliOutput::line(QStringLiteral("MDK-ARM/fw.uvprojx: file ../src/Main.c is "
                                                     "on disk as ../Src/main.c, which is used")));
}

void TestCli::packNotices_data()
{
    QTest::addColumn<bool>("option"); // --pack-root, else CMSIS_PACK_ROOT
    QTest::addColumn<QString>("origin");
    QTest::newRow("--pack-root") << true << QStringLiteral("--pack-root");
    QTest::newRow("CMSIS_PACK_ROOT") << false << QStringLiteral("CMSIS_PACK_ROOT");
}

void TestCli::packNotices()
{
    QFETCH(bool, option);
    QFETCH(QString, origin);
    // A pack the project names and the root lacks: one line on stderr, naming the root and
    // where it came from; the run succeeds.
    ProjectTree tree;
    QVERIFY(tree.add(QStringLiteral("fw.uvprojx"),
                     "<TargetName>A</TargetName><PackID>Keil.STM32F4xx_DFP.2.14.0</PackID>\n"
                     "<TargetName>B</TargetName><PackID>Keil.STM32F4xx_DFP.2.14.0</PackID>\n"));
    QVERIFY(tree.add(QStringLiteral("packs/")));
    const QString root = QDir::toNativeSeparators(tree.path(QStringLiteral("packs")));
    const Run run =
        option ? runCli({QStringLiteral("--pack-root"), tree.path(QStringLiteral("packs")),
                         QStringLiteral("fw.uvprojx")},
                        tree.root())
               : runCli({QStringLiteral("fw.uvprojx")}, tree.root(),
                        {{QStringLiteral("CMSIS_PACK_ROOT"), tree.path(QStringLiteral("packs"))}});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err,
             CliOutput::line(
                 QStringLiteral("fw.uvprojx: pack Keil.STM32F4xx_DFP 2.14.0 is not installed in ") +
                 root + QStringLiteral(" (from ") + origin +
                 QStringLiteral(") (targets \"A\", \"B\")")));
    QVERIFY(tree.read(QStringLiteral("fw.pro")).contains("equals(UV_TARGET, \"B\") {"));
}

void TestCli::printedPathExists_data()
{
    QTest::addColumn<QString>("file");

    QTest::newRow("plain") << QStringLiteral("MDK-ARM/fw.uvprojx");
    QTest::newRow("Chinese folder") << QString::fromUtf8("4-1 OLED显示屏/Project.uvprojx");
    QTest::newRow("Chinese file name") << QString::fromUtf8("工程/主控板.uvprojx");
}

// A script reads the printed path and opens it: whatever the code page, it names the file.
void TestCli::printedPathExists()
{
    QFETCH(QString, file);

    ProjectTree tree;
    QVERIFY(tree.add(file, project));
    const Run run = runCli({file}, tree.root());
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.endsWith(CliOutput::lineEnd()), qPrintable(run.out));
    const QFileInfo printed(run.out.chopped(CliOutput::lineEnd().size()));
    const QString pro = file.left(file.lastIndexOf(QLatin1Char('.'))) + QLatin1String(".pro");
    QVERIFY2(printed.isFile(), qPrintable(run.out));
    QCOMPARE(printed.canonicalFilePath(), QFileInfo(tree.path(pro)).canonicalFilePath());
}

void TestCli::workspaces_data()
{
    QTest::addColumn<QStringList>("args"); // after --pack-root packs
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("stdoutLines"); // "@" stands for the tree root
    QTest::addColumn<QStringList>("stderrLines"); // "@" too, with native separators
    QTest::addColumn<QStringList>("written");

    const QString gone = QDir::toNativeSeparators(QStringLiteral("ws/gone/gone.uvprojx")) +
                         QStringLiteral(": 打开工程文件失败！ not found");
    const QString notice = QDir::toNativeSeparators(QStringLiteral("ws/APP/app.uvprojx")) +
                           QStringLiteral(": pack Keil.STM32F1xx_DFP 2.4.0 is not installed in ") +
                           QDir::toNativeSeparators(QStringLiteral("@/packs")) +
                           QStringLiteral(" (from --pack-root) (target \"app\")");
    // The members first, in workspace order, the workspace's .pro last; a missing member
    // has its line on stderr, with why, and fails the run.
    const QStringList converted{QStringLiteral("@/ws/APP/app.pro"), QStringLiteral("@/lib/lib.pro"),
                                QStringLiteral("@/ws/WS.pro")};
    const QStringList written{QStringLiteral("lib/lib.pro"), QStringLiteral("ws/APP/app.pro"),
                              QStringLiteral("ws/WS.pro")};
    QTest::newRow("members, then the workspace")
        << QStringList{QStringLiteral("ws/WS.uvmpw")} << 1 << converted << QStringList{notice, gone}
        << written;
    // A target names a single project's target: the members keep their defaults.
    QTest::newRow("target given") << QStringList{QStringLiteral("--target"),
                                                 QStringLiteral("Release"),
                                                 QStringLiteral("ws/WS.uvmpw")}
                                  << 1 << converted << QStringList{notice, gone} << written;
    // Two members that want one .pro: the second names the first's, and the run fails.
    QTest::newRow("two members, one .pro")
        << QStringList{QStringLiteral("ws/twice.uvmpw")} << 1
        << QStringList{QStringLiteral("@/lib/lib.pro"), QStringLiteral("@/ws/twice.pro")}
        << QStringList{QDir::toNativeSeparators(QStringLiteral("lib/lib.uvprojx")) +
                       QString::fromUtf8(": 打开文件路径有误！ ") +
                       QDir::toNativeSeparators(QStringLiteral("@/lib/lib.pro is the .pro of ")) +
                       QDir::toNativeSeparators(QStringLiteral("lib/lib.uvproj")) +
                       QStringLiteral(" as well")}
        << QStringList{QStringLiteral("lib/lib.pro"), QStringLiteral("ws/twice.pro")};
    QTest::newRow("none converted")
        << QStringList{QStringLiteral("ws/none.uvmpw"), QStringLiteral("lib/lib.uvproj")} << 1
        << QStringList{QStringLiteral("@/lib/lib.pro")}
        << QStringList{gone, QString::fromUtf8("ws/none.uvmpw: 打开工程文件失败！")}
        << QStringList{QStringLiteral("lib/lib.pro")};
}

void TestCli::workspaces()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QStringList, stdoutLines);
    QFETCH(QStringList, stderrLines);
    QFETCH(QStringList, written);

    ProjectTree tree;
    QVERIFY(tree.add(QStringLiteral("ws/APP/app.uvprojx"),
                     "<TargetName>app</TargetName><PackID>Keil.STM32F1xx_DFP.2.4.0</PackID>\n" +
                         project));
    QVERIFY(tree.add(QStringLiteral("lib/lib.uvproj"), project));
    QVERIFY(tree.add(QStringLiteral("ws/Src/main.c")));
    QVERIFY(tree.add(QStringLiteral("Src/main.c")));
    QVERIFY(tree.add(QStringLiteral("packs/")));
    QVERIFY(tree.add(QStringLiteral("ws/WS.uvmpw"),
                     "<ProjectWorkspace>\r\n"
                     "  <project>\r\n    <PathAndName>.\\APP\\app.uvprojx</PathAndName>\r\n"
                     "  </project>\r\n"
                     "  <project>\r\n    <PathAndName>.\\gone\\gone.uvprojx</PathAndName>\r\n"
                     "  </project>\r\n"
                     "  <project>\r\n    <PathAndName>..\\lib\\lib.uvproj</PathAndName>\r\n"
                     "    <NodeIsActive>1</NodeIsActive>\r\n  </project>\r\n"
                     "</ProjectWorkspace>\r\n"));
    QVERIFY(tree.add(QStringLiteral("lib/lib.uvprojx"), project));
    QVERIFY(tree.add(QStringLiteral("ws/twice.uvmpw"),
                     "<project><PathAndName>..\\lib\\lib.uvproj</PathAndName></project>\n"
                     "<project><PathAndName>..\\lib\\lib.uvprojx</PathAndName></project>\n"));
    QVERIFY(tree.add(QStringLiteral("ws/none.uvmpw"),
                     "<project><PathAndName>gone\\gone.uvprojx</PathAndName></project>\n"));
    const QStringList before = tree.entries();

    const Run run = runCli(
        QStringList{QStringLiteral("--pack-root"), QStringLiteral("packs")} + args, tree.root());
    QCOMPARE(run.exitCode, exitCode);
    QString expectedOut;
    for (const QString &line : stdoutLines)
        expectedOut += CliOutput::pathLine(QString(line).replace(QLatin1Char('@'), tree.root()));
    QCOMPARE(run.out, expectedOut);
    QString expectedErr;
    for (const QString &line : stderrLines)
        expectedErr += CliOutput::line(
            QString(line).replace(QLatin1Char('@'), QDir::toNativeSeparators(tree.root())));
    QCOMPARE(run.err, expectedErr);
    QStringList after = before + written;
    after.sort();
    QCOMPARE(tree.entries(), after);
}

void TestCli::watch_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("byRename"); // the editor writes a new file and renames it over
    QTest::addColumn<int>("stop");      // the signal that ends it
    QTest::addColumn<int>("written");   // .pro files written per change
    QTest::addColumn<bool>("breaks");   // a last save the conversion fails on: exit status 1

    const QString project = QStringLiteral("MDK-ARM/fw.uvprojx");
    QTest::newRow("edited in place, SIGTERM") << project << false << int(SIGTERM) << 1 << false;
    QTest::newRow("saved by renaming, SIGINT") << project << true << int(SIGINT) << 1 << false;
    QTest::newRow("a workspace's member saved by renaming")
        << QStringLiteral("WS.uvmpw") << true << int(SIGTERM) << 2 << false;
    QTest::newRow("the last conversion failed") << project << false << int(SIGTERM) << 1 << true;
}

// --watch converts again after each save, once, and a signal ends it cleanly.
void TestCli::watch()
{
#ifdef Q_OS_WIN
    QSKIP("signals are POSIX");
#else
    QFETCH(QString, input);
    QFETCH(bool, byRename);
    QFETCH(int, stop);
    QFETCH(int, written);
    QFETCH(bool, breaks);

    ProjectTree tree;
    QVERIFY(tree.add(QStringLiteral("MDK-ARM/fw.uvprojx"), project));
    QVERIFY(tree.add(QStringLiteral("WS.uvmpw"),
                     "<project><PathAndName>MDK-ARM\\fw.uvprojx</PathAndName></project>\n"));
    QProcess cli;
    cli.setWorkingDirectory(tree.root());
    cli.start(QStringLiteral(CORVANE_CLI), {QStringLiteral("--watch"), input});
    // Waits for `count` more lines on stdout, at most 5 seconds.
    QByteArray out;
    const auto lines = [&](int count) {
        const int want = out.count('\n') + count;
        QElapsedTimer timer;
        timer.start();
        while (out.count('\n') < want && !timer.hasExpired(5000)) {
            cli.waitForReadyRead(100);
            out += cli.readAllStandardOutput();
        }
        return out.count('\n') >= want;
    };
    QVERIFY(lines(written));
    const QStringList before = tree.entries();
    for (const QByteArray define : {"FIRST", "SECOND"}) {
        const QByteArray text = QByteArray(project).replace("STM32F103xB", define);
        const QString saved = QStringLiteral("MDK-ARM/fw.uvprojx");
        QVERIFY(tree.add(saved + (byRename ? QStringLiteral(".tmp") : QString()), text));
        if (byRename)
            QCOMPARE(std::rename(qPrintable(tree.path(saved + QStringLiteral(".tmp"))),
                                 qPrintable(tree.path(saved))),
                     0);
        QVERIFY2(lines(written), define.constData());
        QVERIFY(tree.read(QStringLiteral("MDK-ARM/fw.pro"))
                    .contains(QByteArray("\t" + define + "\r\n")));
        QVERIFY(!cli.waitForReadyRead(1000)); // one save, one conversion
    }
    QStringList left = before;
    if (breaks) {
        // The project gone: only the failure, on stderr.
        QVERIFY(QFile::remove(tree.path(QStringLiteral("MDK-ARM/fw.uvprojx"))));
        left.removeOne(QStringLiteral("MDK-ARM/fw.uvprojx"));
        cli.setReadChannel(QProcess::StandardError);
        QVERIFY(cli.waitForReadyRead(5000));
    }
    ::kill(pid_t(cli.processId()), stop);
    QVERIFY(cli.waitForFinished(5000));
    QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
    QCOMPARE(cli.exitCode(), breaks ? 1 : 0);
    QCOMPARE(tree.entries(), left); // no temporary file left
#endif
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
