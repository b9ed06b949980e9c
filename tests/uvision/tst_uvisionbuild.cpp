// Build with uVision: the block at the end of the .pro, and what qmake and make do with it
// in a build folder of their own, with a stand-in for UV4.exe.

#include "conversion.h"
#include "projecttree.h"
#include "qmake/uvisionbuild.h"
#include "qmaketool.h"
#include "uvprojx.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

using namespace Corvane;

namespace {

// The log's diagnostics, as the stand-in writes them.
const QByteArray diagnostics =
    "..\\Src\\main.c(12): error:  #20: identifier \"x\" is undefined\r\n"
    "../Src/led.c:7:5: warning: unused variable 'y' [-Wunused-variable]\r\n";

// A project of the given targets ("" for one that names none), each compiling a real
// main.c, converted; by default in a folder with blanks, Chinese and '#'.
QString writeProject(const ProjectTree &tree, const QList<QByteArray> &names,
                     const ConversionOptions &options = ConversionOptions(),
                     const QString &project = QString::fromUtf8("固件 #1/MDK-ARM/fw.uvprojx"))
{
    QList<UvTarget> targets;
    for (const QByteArray &name : names) {
        UvTarget target;
        target.name = name;
        target.files = {"..\\Src\\main.c"};
        targets.append(target);
    }
    const QString source = QFileInfo(project).path() + QStringLiteral("/../Src/main.c");
    if (!tree.add(project, uvProject(targets)) ||
        !tree.add(source, "int main(void) { return 0; }\n") ||
        !convertProject(tree.path(project), options).succeeded())
        return QString();
    return tree.path(project);
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
    void parse();

private:
    // qmake in the build folder, then make; the .pro's path is taken from the project's.
    Run qmakeAndMake(const QString &project, const QStringList &qmakeArguments,
                     const QStringList &makeArguments = QStringList());
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
    QTest::addColumn<QByteArray>("defaultTarget"); // corvane-cli --target
    QTest::addColumn<QStringList>("qmakeArguments");
    QTest::addColumn<int>("status");        // what UV4 exits with
    QTest::addColumn<QByteArray>("target"); // the -t argument; empty: none passed
    QTest::addColumn<bool>("succeeds");

    const QList<QByteArray> three = {"Debug", "调试 版本", "Flash #2 $(x)"};
    const QByteArray none;
    QTest::newRow("first target by default")
        << three << none << QStringList() << 0 << three.first() << true;
    QTest::newRow("UV_TARGET with blanks and Chinese")
        << three << none
        << QStringList{QStringLiteral("UV_TARGET=") + QString::fromUtf8(three.at(1))} << 0
        << three.at(1) << true;
    QTest::newRow("the .pro's default with '#' and '$'")
        << three << three.last() << QStringList() << 0 << three.last() << true;
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
    const Run make = qmakeAndMake(project, qmakeArguments);

    QStringList expected = {QStringLiteral("-b"), project};
    if (!target.isEmpty())
        expected << QStringLiteral("-t") << QString::fromUtf8(target);
    expected << QStringLiteral("-j0") << QStringLiteral("-o") << m_build + "/uvision.log";
    QCOMPARE(recorded(), expected);
    QCOMPARE(make.exitCode == 0, succeeds);
    // The diagnostics on stderr, unchanged, then only make's own line of a failure.
    QVERIFY2(make.err.startsWith(diagnostics), make.err.constData());
    QCOMPARE(make.err.count('\n'), diagnostics.count('\n') + (succeeds ? 0 : 1));
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
    QTest::addColumn<QString>("uv4");     // the environment variable; null: not set
    QTest::addColumn<QString>("mdkRoot"); // the installation conversion found
    QTest::addColumn<QByteArray>("why");

    QTest::newRow("UV4 not set, no installation")
        << QString() << QString()
        << QByteArray("UV4 is not set, and UV4.exe is not at \"C:/Keil_v5/UV4/UV4.exe\"");
    QTest::newRow("UV4 not set, an installation that is not here")
        << QString() << QStringLiteral("D:/Keil v5")
        << QByteArray("UV4 is not set, and UV4.exe is not at \"D:/Keil v5/UV4/UV4.exe\" or "
                      "\"C:/Keil_v5/UV4/UV4.exe\"");
    QTest::newRow("UV4 names nothing, in quotes")
        << QStringLiteral("\"/no/Keil/UV4.exe\"") << QString()
        << QByteArray("UV4 names \"/no/Keil/UV4.exe\", which does not exist");
}

void TestUvisionBuild::withoutUvision()
{
    QFETCH(QString, uv4);
    QFETCH(QString, mdkRoot);
    QFETCH(QByteArray, why);

    ConversionOptions options;
    options.mdkRoot = mdkRoot;
    const QString project = writeProject(*m_tree, {"Debug", "Release"}, options);
    QVERIFY(!project.isEmpty());
    m_environment.remove(QStringLiteral("UV4"));
    if (!uv4.isNull())
        m_environment.insert(QStringLiteral("UV4"), uv4);
    const Run make = qmakeAndMake(project, {});
    QVERIFY(make.exitCode > 0);
    QCOMPARE(make.out, QByteArray());
    const QByteArray line =
        "This project is built with uVision, but UV4.exe was not found: " + why +
        "; uVision runs on Windows only. Set the environment variable UV4 to the full path of "
        "UV4.exe and run qmake again.\n";
    QVERIFY2(make.err.startsWith(line), make.err.constData());
    QCOMPARE(make.err.count('\n'), 2); // and make's own
    QCOMPARE(recorded(), QStringList());
    QCOMPARE(builtFiles(), QStringList());
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

Run TestUvisionBuild::qmakeAndMake(const QString &project, const QStringList &qmakeArguments,
                                   const QStringList &makeArguments)
{
    const QString pro = QFileInfo(project).path() + QStringLiteral("/fw.pro");
    const Run qmake = run(m_qmake, qmakeArguments + QStringList{pro}, m_build, m_environment);
    if (qmake.exitCode != 0)
        return qmake;
    return run(m_make, makeArguments, m_build, m_environment);
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
