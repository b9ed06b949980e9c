// Build with uVision: the block at the end of the .pro, and what qmake and make do with it
// in a build folder of their own, with a stand-in for UV4.exe and the real corvane-cli.

#include "conversion/conversion.h"
#include "conversion/workspaceconversion.h"
#include "projecttree.h"
#include "qmake/uvisionbuild.h"
#include "qmaketool.h"
#include "uvprojx.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

using namespace Corvane;

namespace {

// The log's diagnostics as the stand-in writes them, the paths made absolute from the
// folder of the project.
QByteArray diagnostics(const QString &project)
{
    const QByteArray dir = QFileInfo(project).path().toUtf8();
    return dir + "/../Src/main.c(12): error:  #20: identifier \"x\" is undefined\r\n" + dir +
           "/../Src/led.c:7:5: warning: unused variable 'y' [-Wunused-variable]\r\n";
}

// A project of the given targets ("" for one that names none), each compiling a real
// main.c and the given sources, converted unless told not to; by default in a folder with
// blanks, Chinese and '#'.
QString writeProject(const ProjectTree &tree, const QList<QByteArray> &names,
                     const ConversionOptions &options = ConversionOptions(),
                     const QString &project = QString::fromUtf8("固件 #1/MDK-ARM/fw.uvprojx"),
                     const QList<QByteArray> &sources = {}, bool convert = true)
{
    QList<UvTarget> targets;
    for (const QByteArray &name : names) {
        UvTarget target;
        target.name = name;
        target.files = QList<QByteArray>{"..\\Src\\main.c"} + sources;
        targets.append(target);
    }
    const QString source = QFileInfo(project).path() + QStringLiteral("/../Src/main.c");
    if (!tree.add(project, uvProject(targets)) ||
        !tree.add(source, "int main(void) { return 0; }\n") ||
        (convert && !convertProject(tree.path(project), options).succeeded()))
        return QString();
    return tree.path(project);
}

QString proOf(const QString &project)
{
    return project.left(project.lastIndexOf(QLatin1Char('.'))) + QStringLiteral(".pro");
}

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run run(const QString &program, const QStringList &arguments, const QString &dir,
        const QProcessEnvironment &environment)
{
    QProcess process;
    process.setWorkingDirectory(dir);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    Run result;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

} // namespace

class TestUvisionBuild : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void blockLines_data();
    void blockLines();
    void installation_data();
    void installation();
    void build_data();
    void build();
    void rebuild();
    void withoutUvision_data();
    void withoutUvision();
    void update_data();
    void update();
    void workspace();
    void parse();
    void pri();

private:
    // qmake in the build folder, then make; the .pro's path is taken from the project's.
    Run qmakeAndMake(const QString &project, const QStringList &qmakeArguments,
                     const QStringList &makeArguments = QStringList());
    Run make(const QStringList &arguments = QStringList());
    QStringList recorded() const;
    QStringList builtFiles() const;

    QString m_qmake;
    QString m_make;
    QScopedPointer<ProjectTree> m_tree;
    QString m_build; // the build folder, with blanks, Chinese and '$'
    QProcessEnvironment m_environment;
};

void TestUvisionBuild::initTestCase()
{
#ifdef Q_OS_WIN
    QSKIP("needs qmake and make of the build machine; tools/windows-check runs the Windows side");
#endif
    QString whyNot;
    m_qmake = QmakeTool::program(&whyNot);
    if (m_qmake.isEmpty())
        QSKIP(qPrintable(whyNot));
    m_make = QStandardPaths::findExecutable(QStringLiteral("make"));
    if (m_make.isEmpty())
        QSKIP("no make on the PATH");
}

void TestUvisionBuild::init()
{
    m_tree.reset(new ProjectTree);
    QVERIFY(m_tree->isValid());
    m_build = m_tree->path(QString::fromUtf8("build $1 调试"));
    QVERIFY(QDir().mkpath(m_build));
    m_environment = QProcessEnvironment::systemEnvironment();
    // Nothing of a make that runs the tests.
    for (const char *name : {"MAKEFLAGS", "MFLAGS", "MAKELEVEL", "UV4_STANDIN_STATUS"})
        m_environment.remove(QString::fromLatin1(name));
    m_environment.insert(QStringLiteral("UV4"), QStringLiteral(CORVANE_UV4_STANDIN));
    m_environment.insert(QStringLiteral("UV4_STANDIN_RECORD"),
                         m_tree->path(QStringLiteral("arguments")));
    // No converter but the ones a test names.
    m_environment.remove(QStringLiteral("CORVANE"));
    m_environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
}

void TestUvisionBuild::blockLines_data()
{
    QTest::addColumn<QList<QByteArray>>("targets");
    QTest::addColumn<QString>("projectFile");
    QTest::addColumn<QString>("mdkRoot");
    QTest::addColumn<QByteArray>("lines"); // from UV_PROJECT to "!qtc_run {"

    const QString plain = QStringLiteral("MDK-ARM/fw.uvprojx");
    QTest::newRow("several targets: the one UV_TARGET selects")
        << QList<QByteArray>{"Debug", "Release"} << plain << QString()
        << QByteArray("UV_PROJECT = $$PWD/fw.uvprojx\r\nUV_BUILD_TARGET = $$UV_TARGET\r\n");
    QTest::newRow("one target: named, literally")
        << QList<QByteArray>{"Flash #1 $(x)"} << plain << QString()
        << QByteArray("UV_PROJECT = $$PWD/fw.uvprojx\r\n"
                      "UV_BUILD_TARGET = \"Flash $${LITERAL_HASH}1 $${LITERAL_DOLLAR}(x)\"\r\n");
    QTest::newRow("one target without a name: none named")
        << QList<QByteArray>{""} << plain << QString()
        << QByteArray("UV_PROJECT = $$PWD/fw.uvprojx\r\n");
    QTest::newRow("file name with a blank and '$', the installation found")
        << QList<QByteArray>{"A"} << QStringLiteral("MDK-ARM/my fw$1.uvprojx")
        << QStringLiteral("D:/Keil v5")
        << QByteArray("UV_PROJECT = $$PWD/\"my fw$${LITERAL_DOLLAR}1.uvprojx\"\r\n"
                      "UV_BUILD_TARGET = \"A\"\r\nUV_INSTALLED = \"D:/Keil v5/UV4/UV4.exe\"\r\n");
}

void TestUvisionBuild::blockLines()
{
    QFETCH(QList<QByteArray>, targets);
    QFETCH(QString, projectFile);
    QFETCH(QString, mdkRoot);
    QFETCH(QByteArray, lines);

    ConversionOptions options;
    options.mdkRoot = mdkRoot;
    const QString project = writeProject(*m_tree, targets, options, projectFile);
    QVERIFY(!project.isEmpty());
    const QByteArray pro = ProjectTree::readFile(outputPathFor(project));

    // The last block, right before the closing lines: after the last target's, and after the
    // check of UV_TARGET that follows the scopes of several targets.
    const QByteArray lead = "\r\n# Build with uVision\r\n";
    const int start = pro.indexOf(lead);
    QVERIFY(start > 0);
    QCOMPARE(pro.indexOf(lead, start + 1), -1);
    if (targets.size() > 1)
        QVERIFY(pro.left(start).contains(QByteArray("main.c \\\r\n" + Pro::keywords() +
                                                    "}\r\n\r\n# Check UV_TARGET\r\n")) &&
                pro.left(start).endsWith(".\")\r\n"));
    else
        QVERIFY(pro.left(start).endsWith(QByteArray("main.c \\\r\n" + Pro::keywords())));
    QVERIFY(pro.endsWith("}\r\n\r\n\r\n\r\n"));
    const int first = pro.indexOf("UV_PROJECT = ", start);
    QCOMPARE(pro.mid(first, pro.indexOf("!qtc_run {\r\n", start) - first), lines);
}

void TestUvisionBuild::installation_data()
{
    QTest::addColumn<QStringList>("toolsets");
    QTest::addColumn<QString>("expected"); // of MDK "M:/Keil", C51 "C:/C51"

    const QString arm = QStringLiteral("ARM-ADS");
    const QString c51 = QStringLiteral("MCS-51");
    QTest::newRow("Arm targets: MDK") << QStringList{arm} << QStringLiteral("M:/Keil");
    QTest::newRow("C51 targets only: C51") << QStringList{c51, c51} << QStringLiteral("C:/C51");
    QTest::newRow("both kinds: MDK") << QStringList{c51, arm} << QStringLiteral("M:/Keil");
    QTest::newRow("no toolset named: MDK") << QStringList{QString()} << QStringLiteral("M:/Keil");
}

void TestUvisionBuild::installation()
{
    QFETCH(QStringList, toolsets);
    QFETCH(QString, expected);
    QList<Target> targets;
    for (const QString &toolset : toolsets) {
        Target target;
        target.toolset = toolset;
        targets.append(target);
    }
    QCOMPARE(buildingInstallation(targets, QStringLiteral("M:/Keil"), QStringLiteral("C:/C51")),
             expected);
    // The one known, whichever kind the project is.
    QCOMPARE(buildingInstallation(targets, QString(), QStringLiteral("C:/C51")),
             QStringLiteral("C:/C51"));
    QCOMPARE(buildingInstallation(targets, QStringLiteral("M:/Keil"), QString()),
             QStringLiteral("M:/Keil"));
}

void TestUvisionBuild::build_data()
{
    QTest::addColumn<QList<QByteArray>>("targets");
    QTest::addColumn<QByteArray>("defaultTarget");   // corvane-cli --target
    QTest::addColumn<QStringList>("qmakeArguments"); // "flash" goes to make instead
    QTest::addColumn<int>("status");                 // what UV4 exits with
    QTest::addColumn<QByteArray>("target");          // the -t argument; empty: none passed
    QTest::addColumn<bool>("succeeds");

    const QList<QByteArray> three = {"Debug", "调试 版本", "Flash #2 $(x)", "版本 \"4\""};
    const QByteArray none;
    QTest::newRow("first target by default")
        << three << none << QStringList() << 0 << three.first() << true;
    QTest::newRow("UV_TARGET with blanks and Chinese")
        << three << none
        << QStringList{QStringLiteral("UV_TARGET=") + QString::fromUtf8(three.at(1))} << 0
        << three.at(1) << true;
    QTest::newRow("the .pro's default with '#' and '$'")
        << three << three.at(2) << QStringList() << 0 << three.at(2) << true;
    // qmake reads "UV_TARGET=Flash #2 $(x)" as "Flash": the number reaches any name.
    for (int n : {2, 3, 4})
        QTest::addRow("UV_TARGET=%d", n)
            << three << none << QStringList{QStringLiteral("UV_TARGET=%1").arg(n)} << 0
            << three.at(n - 1) << true;
    QTest::newRow("warnings succeed")
        << three << none << QStringList() << 1 << three.first() << true;
    QTest::newRow("errors fail") << three << none << QStringList() << 2 << three.first() << false;
    QTest::newRow("fatal errors fail")
        << three << none << QStringList() << 3 << three.first() << false;
    QTest::newRow("project file not found fails")
        << three << none << QStringList() << 11 << three.first() << false;
    QTest::newRow("one target: its name")
        << QList<QByteArray>{"Flash"} << none << QStringList() << 0 << QByteArray("Flash") << true;
    QTest::newRow("one target without a name: no -t")
        << QList<QByteArray>{""} << none << QStringList() << 0 << QByteArray() << true;
    QTest::newRow("flash, UV_TARGET=4, warnings succeed")
        << three << none << QStringList{QStringLiteral("UV_TARGET=4"), QStringLiteral("flash")} << 1
        << three.at(3) << true;
    QTest::newRow("flash, errors fail")
        << three << none << QStringList{QStringLiteral("flash")} << 2 << three.first() << false;
}

void TestUvisionBuild::build()
{
    QFETCH(QList<QByteArray>, targets);
    QFETCH(QByteArray, defaultTarget);
    QFETCH(QStringList, qmakeArguments);
    QFETCH(int, status);
    QFETCH(QByteArray, target);
    QFETCH(bool, succeeds);

    ConversionOptions options;
    options.target = QString::fromUtf8(defaultTarget);
    const QString project = writeProject(*m_tree, targets, options);
    QVERIFY(!project.isEmpty());
    m_environment.insert(QStringLiteral("UV4_STANDIN_STATUS"), QString::number(status));
    const bool flash = qmakeArguments.removeAll(QStringLiteral("flash")) > 0;
    const Run make = qmakeAndMake(project, qmakeArguments,
                                  flash ? QStringList{QStringLiteral("flash")} : QStringList());

    QStringList expected = {flash ? QStringLiteral("-f") : QStringLiteral("-b"), project};
    if (!target.isEmpty())
        expected << QStringLiteral("-t") << QString::fromUtf8(target);
    expected << QStringLiteral("-j0") << QStringLiteral("-o")
             << m_build + (flash ? "/flash.log" : "/uvision.log");
    QCOMPARE(recorded(), expected);
    QCOMPARE(make.exitCode == 0, succeeds);
    // The diagnostics on stderr, their paths absolute, then only make's own line of a failure.
    QVERIFY2(make.err.startsWith(diagnostics(project)), make.err.constData());
    QCOMPARE(make.err.count('\n'), 2 + (succeeds ? 0 : 1));
    QVERIFY(make.out.contains("compiling main.c...\r\n"));
    QVERIFY(make.out.contains("Target not created.\r\n"));
    QVERIFY(!make.out.contains(": error:") && !make.out.contains(": warning:"));
    QCOMPARE(builtFiles(), QStringList());
}

void TestUvisionBuild::rebuild()
{
    const QString project = writeProject(*m_tree, {"Debug", "Release"});
    QVERIFY(!project.isEmpty());
    QCOMPARE(qmakeAndMake(project, {}).exitCode, 0);
    QCOMPARE(recorded().value(0), QStringLiteral("-b"));
    // Qt Creator's Rebuild: make clean, then make.
    QVERIFY(QFile::remove(m_tree->path(QStringLiteral("arguments"))));
    QCOMPARE(qmakeAndMake(project, {}, {QStringLiteral("clean")}).exitCode, 0);
    QCOMPARE(recorded(), QStringList()); // clean runs nothing
    QCOMPARE(qmakeAndMake(project, {}).exitCode, 0);
    QCOMPARE(recorded().value(0), QStringLiteral("-r"));
    QCOMPARE(qmakeAndMake(project, {}).exitCode, 0);
    QCOMPARE(recorded().value(0), QStringLiteral("-b"));
}

void TestUvisionBuild::withoutUvision_data()
{
    QTest::addColumn<QString>("uv4");      // the environment variable of make; null: not set
    QTest::addColumn<QString>("qmakeUv4"); // that of qmake
    QTest::addColumn<QString>("mdkRoot");  // the installation conversion found
    QTest::addColumn<QByteArray>("why");   // empty: UV4 runs

    const QString standin = QStringLiteral(CORVANE_UV4_STANDIN);
    QTest::newRow("UV4 not set, no installation")
        << QString() << QString() << QString()
        << QByteArray("UV4 is not set, and UV4.exe is not at \"C:/Keil_v5/UV4/UV4.exe\"");
    QTest::newRow("UV4 not set, an installation that is not here")
        << QString() << QString() << QStringLiteral("D:/Keil v5")
        << QByteArray("UV4 is not set, and UV4.exe is not at \"D:/Keil v5/UV4/UV4.exe\" or "
                      "\"C:/Keil_v5/UV4/UV4.exe\"");
    QTest::newRow("UV4 names nothing, in quotes")
        << QStringLiteral("\"/no/Keil/UV4.exe\"") << QString() << QString()
        << QByteArray("UV4 names \"/no/Keil/UV4.exe\", which does not exist");
    // Looked up when make runs, as Qt Creator's Build does without running qmake again.
    QTest::newRow("UV4 set for make only") << standin << QString() << QString() << QByteArray();
    QTest::newRow("UV4 set for qmake only")
        << QString() << standin << QString()
        << QByteArray("UV4 is not set, and UV4.exe is not at \"C:/Keil_v5/UV4/UV4.exe\"");
}

void TestUvisionBuild::withoutUvision()
{
    QFETCH(QString, uv4);
    QFETCH(QString, qmakeUv4);
    QFETCH(QString, mdkRoot);
    QFETCH(QByteArray, why);

    ConversionOptions options;
    options.mdkRoot = mdkRoot;
    const QString project = writeProject(*m_tree, {"Debug", "Release"}, options);
    QVERIFY(!project.isEmpty());
    m_environment.remove(QStringLiteral("UV4"));
    if (!qmakeUv4.isNull())
        m_environment.insert(QStringLiteral("UV4"), qmakeUv4);
    QCOMPARE(run(m_qmake, {proOf(project)}, m_build, m_environment).exitCode, 0);
    m_environment.remove(QStringLiteral("UV4"));
    if (!uv4.isNull())
        m_environment.insert(QStringLiteral("UV4"), uv4);
    const Run make = this->make();
    QCOMPARE(recorded().isEmpty(), !why.isEmpty());
    if (why.isEmpty())
        return;
    QVERIFY(make.exitCode > 0);
    QCOMPARE(make.out, QByteArray());
    // In the form Qt Creator's Issues pane takes as an error in the .pro.
    const QByteArray line =
        proOf(project).toUtf8() +
        ":1: error: This project is built with uVision, but UV4.exe was not found: " + why +
        "; uVision runs on Windows only. Set the environment variable UV4 to the full path of "
        "UV4.exe.\n";
    QVERIFY2(make.err.startsWith(line), make.err.constData());
    QCOMPARE(make.err.count('\n'), 2); // and make's own
    QCOMPARE(builtFiles(), QStringList());
}

void TestUvisionBuild::update_data()
{
    QTest::addColumn<QString>("converter");  // recorded, CORVANE, PATH, none, else CORVANE's value
    QTest::addColumn<QString>("target");     // --target; "gone": then taken out of the project
    QTest::addColumn<bool>("stale");         // the project written again after qmake
    QTest::addColumn<QByteArray>("warning"); // why the .pro is not written again
    QTest::addColumn<QByteArray>("added");   // the source added to the project

    const QString recorded = QStringLiteral("recorded");
    const QByteArray added = "..\\Src\\added.c";
    QTest::newRow("a source added: the converter that wrote it")
        << recorded << QString() << true << QByteArray() << added;
    // With a '#' in the name: the database's folder given is kept too.
    QTest::newRow("--target kept, CORVANE in quotes")
        << QStringLiteral("CORVANE") << QStringLiteral("Rel #2") << true << QByteArray() << added;
    QTest::newRow("on the PATH") << QStringLiteral("PATH") << QString() << true << QByteArray()
                                 << added;
    QTest::newRow("not older: nothing written")
        << recorded << QString() << false << QByteArray() << added;
    QTest::newRow("no converter anywhere")
        << QStringLiteral("none") << QString() << true
        << QByteArray("CORVANE is not set, and corvane-cli is not on the PATH") << added;
    QTest::newRow("the recorded converter is gone")
        << QStringLiteral("gone") << QString() << true
        << QByteArray("the converter this file records, /gone/corvane-cli, is no longer there, "
                      "CORVANE is not set, and corvane-cli is not on the PATH")
        << added;
    QTest::newRow("CORVANE names nothing")
        << QStringLiteral("/no/corvane-cli") << QString() << true
        << QByteArray("CORVANE names \"/no/corvane-cli\", which does not exist") << added;
    QTest::newRow("the conversion fails")
        << recorded << QStringLiteral("gone") << true << QByteArray() << added;
    QTest::newRow("the converter's notices as issues on the project")
        << recorded << QString() << true << QByteArray() << QByteArray("..\\Src\\nowhere.c");
}

// Build writes a .pro older than its project again first (real qmake, make and corvane-cli)
// and µVision builds from the new one.
void TestUvisionBuild::update()
{
    QFETCH(QString, converter);
    QFETCH(QString, target);
    QFETCH(bool, stale);
    QFETCH(QByteArray, warning);
    QFETCH(QByteArray, added);

    const QString cli = QStringLiteral(CORVANE_CLI);
    const bool fails = target == QLatin1String("gone");
    ConversionOptions options;
    options.target = fails ? QStringLiteral("Rel #2") : target;
    options.namedPackRoot = m_tree->path(QStringLiteral("packs"));
    options.compileCommands = true;
    if (target == QLatin1String("Rel #2"))
        options.compileCommandsDir = m_tree->path(QString::fromUtf8("库 #2"));
    QVERIFY(options.compileCommandsDir.isEmpty() || QDir().mkpath(options.compileCommandsDir));
    options.converter = converter == QLatin1String("recorded") ? cli
                        : converter == QLatin1String("gone")   ? QStringLiteral("/gone/corvane-cli")
                                                               : QString();
    if (converter == QLatin1String("PATH"))
        m_environment.insert(QStringLiteral("PATH"), QFileInfo(cli).path() + ":/usr/bin:/bin");
    else if (converter.contains(QLatin1Char('/')) || converter == QLatin1String("CORVANE"))
        m_environment.insert(QStringLiteral("CORVANE"),
                             converter.contains(QLatin1Char('/')) ? converter : '"' + cli + '"');
    const QString project = writeProject(*m_tree, {"Debug", "Rel #2"}, options);
    const QString pro = proOf(project);
    QCOMPARE(run(m_qmake, {pro}, m_build, m_environment).exitCode, 0);
    const QByteArray before = ProjectTree::readFile(pro);
    QVERIFY(m_tree->add(QString::fromUtf8("固件 #1/Src/added.c")));
    if (stale)
        QVERIFY(!writeProject(*m_tree, {"Debug", fails ? "Rel" : "Rel #2"}, {},
                              QString::fromUtf8("固件 #1/MDK-ARM/fw.uvprojx"), {added}, false)
                     .isEmpty());
    const Run make = this->make();
    const bool converted = stale && warning.isEmpty() && !fails;
    QCOMPARE(make.exitCode == 0, !fails);
    QCOMPARE(ProjectTree::readFile(pro) != before, converted);
    // A failed conversion fails Build with its message, and UV4 does not run.
    QCOMPARE(recorded().value(3), fails ? QString() : target.isEmpty() ? "Debug" : target);
    QCOMPARE(make.err.contains("工程中没有这个目标！"), fails);
    if (fails)
        return;
    // Without a converter: one warning in the form of Qt Creator's, at every make, no loop.
    const QByteArray line = pro.toUtf8() +
                            ":1: warning: fw.pro is older than fw.uvprojx, and no "
                            "converter writes it again: " +
                            warning +
                            ". Convert it again with corvane-cli --compile-commands --pack-root " +
                            options.namedPackRoot.toUtf8() + " '" + project.toUtf8() +
                            "', or set the environment variable CORVANE to the full path of "
                            "corvane-cli.\n";
    // The converter's notices are issues on the project file (then qmake's own word).
    const QByteArray notices = added.contains("nowhere")
                                   ? project.toUtf8() +
                                         ":1: warning: file ../Src/nowhere.c is not on disk\n"
                                         "WARNING: Failure to find: ../Src/nowhere.c\n"
                                   : QByteArray();
    QCOMPARE(make.err, (warning.isEmpty() ? notices : line) + diagnostics(project));
    if (!warning.isEmpty())
        QVERIFY(this->make().err.startsWith(line));
    if (!converted)
        return;
    // qmake ran again, reads the new file list, and the options of the first conversion stay.
    QVERIFY(make.out.contains("qmake"));
    QByteArray evaluated;
    QString error;
    QVERIFY2(QmakeTool::evaluate(pro, {}, &evaluated, &error, m_build), qPrintable(error));
    const auto vars = QmakeTool::variables(evaluated);
    const QString source = QString::fromUtf8(added).replace('\\', '/');
    QCOMPARE(vars.value(QStringLiteral("SOURCES")),
             (QStringList{QStringLiteral("../Src/main.c"), source}));
    QCOMPARE(vars.value(QStringLiteral("CORVANE_PACK_ROOT")), QStringList{options.namedPackRoot});
    // Where clangd finds it from the sources, above the project's folder, or where it was put.
    const QString database = options.compileCommandsDir.isEmpty()
                                 ? m_tree->path(QString::fromUtf8("固件 #1"))
                                 : options.compileCommandsDir;
    QVERIFY(ProjectTree::readFile(database + "/compile_commands.json").contains(source.toUtf8()));
}

// A workspace named like its member, built with make -j2: the members' UV4 runs one after
// the other, each one's diagnostics absolute from its own folder.
void TestUvisionBuild::workspace()
{
    const QString first =
        writeProject(*m_tree, {"A"}, {}, QStringLiteral("ws/WS.uvprojx"), {}, false);
    const QString second =
        writeProject(*m_tree, {"B"}, {}, QStringLiteral("ws/b/b.uvprojx"), {}, false);
    QVERIFY(m_tree->add(QStringLiteral("ws/WS.uvmpw"),
                        "<project><PathAndName>.\\WS.uvprojx</PathAndName></project>\n"
                        "<project><PathAndName>.\\b\\b.uvprojx</PathAndName></project>\n"));
    const WorkspaceResult result = convertWorkspace(m_tree->path(QStringLiteral("ws/WS.uvmpw")));
    QVERIFY(result.succeeded());
    QCOMPARE(QFileInfo(result.outputPath).fileName(), QStringLiteral("WS_workspace.pro"));
    QCOMPARE(
        run(m_qmake, {QStringLiteral("-r"), result.outputPath}, m_build, m_environment).exitCode,
        0);
    m_environment.insert(QStringLiteral("UV4_STANDIN_TRACE"),
                         m_tree->path(QStringLiteral("trace")));
    m_environment.insert(QStringLiteral("UV4_STANDIN_SLEEP"), QStringLiteral("400"));
    const Run make = this->make({QStringLiteral("-j2")});
    QCOMPARE(make.exitCode, 0);
    QCOMPARE(m_tree->read(QStringLiteral("trace")),
             "start " + first.toUtf8() + "\nend " + first.toUtf8() + "\nstart " + second.toUtf8() +
                 "\nend " + second.toUtf8() + '\n');
    QCOMPARE(make.err, diagnostics(first) + diagnostics(second));
}

// Qt Creator parses with qtc_run and gets the application and its files; plain qmake -E,
// what scripts and the read-back tests use, shows the same files.
void TestUvisionBuild::parse()
{
    const QString project = writeProject(*m_tree, {"Debug", "Release"});
    QVERIFY(!project.isEmpty());
    const QString pro = QFileInfo(project).path() + QStringLiteral("/fw.pro");
    QByteArray parsed;
    QByteArray plain;
    QString error;
    QVERIFY2(
        QmakeTool::evaluate(pro, {QStringLiteral("CONFIG+=qtc_run")}, &parsed, &error, m_build),
        qPrintable(error));
    QVERIFY2(QmakeTool::evaluate(pro, {}, &plain, &error, m_build), qPrintable(error));
    const auto creator = QmakeTool::variables(parsed);
    const auto script = QmakeTool::variables(plain);
    QCOMPARE(creator.value(QStringLiteral("TEMPLATE")), QStringList{QStringLiteral("app")});
    QCOMPARE(creator.value(QStringLiteral("SOURCES")),
             QStringList{QStringLiteral("../Src/main.c")});
    QCOMPARE(script.value(QStringLiteral("SOURCES")), QStringList{QStringLiteral("../Src/main.c")});
}

// The block as the sources keep it, read by qmake on its own with a project's values: make
// gets uVision's steps, Qt Creator's parse none of them.
void TestUvisionBuild::pri()
{
    const QString pri = qEnvironmentVariable("CORVANE_SOURCE_DIR") +
                        QStringLiteral("/src/core/qmake/uvisionbuild.pri");
    QVERIFY(QFileInfo::exists(pri));
    QVERIFY(m_tree->add(QStringLiteral("fw.pro"), "UV_PROJECT = $$PWD/fw.uvprojx\ninclude(" +
                                                      QFile::encodeName(pri) + ")\n"));
    QHash<QString, QStringList> targets;
    for (const QString &config : {QStringLiteral("CONFIG+=qtc_run"), QString()}) {
        QByteArray evaluated;
        QString error;
        QVERIFY2(QmakeTool::evaluate(m_tree->path(QStringLiteral("fw.pro")),
                                     config.isEmpty() ? QStringList() : QStringList{config},
                                     &evaluated, &error, m_build),
                 qPrintable(error));
        targets.insert(config, QmakeTool::variables(evaluated).value("QMAKE_EXTRA_TARGETS"));
    }
    const QStringList steps =
        QString("first clean flash uvbuild uvclean uvflash uvupdate").split(' ');
    QCOMPARE(targets.value(QString()).mid(0, steps.size()), steps);
    for (const QString &step : steps)
        QVERIFY(!targets.value(QStringLiteral("CONFIG+=qtc_run")).contains(step));
}

Run TestUvisionBuild::qmakeAndMake(const QString &project, const QStringList &qmakeArguments,
                                   const QStringList &makeArguments)
{
    const Run qmake =
        run(m_qmake, qmakeArguments + QStringList{proOf(project)}, m_build, m_environment);
    return qmake.exitCode != 0 ? qmake : make(makeArguments);
}

Run TestUvisionBuild::make(const QStringList &arguments)
{
    return run(m_make, arguments, m_build, m_environment);
}

QStringList TestUvisionBuild::recorded() const
{
    QStringList lines =
        QString::fromUtf8(m_tree->read(QStringLiteral("arguments"))).split(QLatin1Char('\n'));
    lines.removeAll(QString());
    return lines;
}

// What a compiler or linker of the kit would have left in the build folder.
QStringList TestUvisionBuild::builtFiles() const
{
    return QDir(m_build).entryList({QStringLiteral("*.o"), QStringLiteral("*.obj"),
                                    QStringLiteral("fw"), QStringLiteral("fw.exe")},
                                   QDir::Files);
}

QTEST_GUILESS_MAIN(TestUvisionBuild)
#include "tst_uvisionbuild.moc"
