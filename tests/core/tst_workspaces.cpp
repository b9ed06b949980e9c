// Multi-project workspaces: reading a .uvmpw, converting its members, and the subdirs
// project that qmake and Qt Creator walk.

#include "conversion/workspaceconversion.h"
#include "projecttree.h"
#include "qmake/sharedsettings.h"
#include "qmake/subdirswriter.h"
#include "qmaketool.h"
#include "reading/workspace.h"

#include <QBuffer>
#include <QtTest>

using namespace Corvane;

namespace {

const QDateTime runTime(QDate(2024, 1, 2), QTime(3, 4));

// A one-target member whose only source lies beside it.
const QByteArray memberProject = "<Project>\r\n"
                                 "  <TargetName>fw</TargetName>\r\n"
                                 "  <Device>STM32F103C8</Device>\r\n"
                                 "  <FilePath>.\\main.c</FilePath>\r\n"
                                 "</Project>\r\n";

// A workspace as uVision 5 writes it: paths as given, `active` the index of the active
// member (-1: none), lines ended by eol ("" puts it all on one line).
QByteArray uvWorkspace(const QStringList &paths, int active, const QByteArray &eol = "\r\n")
{
    QByteArray out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>" + eol +
                     "<ProjectWorkspace xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                     "xsi:noNamespaceSchemaLocation=\"project_mpw.xsd\">" +
                     eol + eol + "  <SchemaVersion>1.0</SchemaVersion>" + eol + eol +
                     "  <Header>### uVision Project, (C) Keil Software</Header>" + eol + eol +
                     "  <WorkspaceName>WorkSpace</WorkspaceName>" + eol + eol;
    for (int i = 0; i < paths.size(); ++i) {
        out += "  <project>" + eol + "    <PathAndName>" + paths.at(i).toUtf8() + "</PathAndName>" +
               eol;
        if (i == active)
            out += "    <NodeIsActive>1</NodeIsActive>" + eol;
        out += "  </project>" + eol + eol;
    }
    return out + "</ProjectWorkspace>" + eol;
}

QStringList readMembers(const QByteArray &text)
{
    QBuffer buffer;
    buffer.setData(text);
    buffer.open(QIODevice::ReadOnly);
    const WorkspaceReading reading = readWorkspace(buffer);
    QStringList members;
    for (const WorkspaceMember &member : reading.members)
        members.append((member.active ? QStringLiteral("*") : QString()) + member.path);
    return members;
}

// A member project with its source, at a path relative to the workspace folder "ws".
bool addMember(const ProjectTree &tree, const QString &project)
{
    const QString path = QDir::cleanPath(QStringLiteral("ws/") + project);
    return tree.add(path, memberProject) &&
           tree.add(QFileInfo(path).path() + QStringLiteral("/main.c"), "int main(void);\n");
}

QString proFor(const QString &project)
{
    return project.left(project.lastIndexOf(QLatin1Char('.'))) + QStringLiteral(".pro");
}

} // namespace

class TestWorkspaces : public QObject
{
    Q_OBJECT

private slots:
    void reading_data();
    void reading();
    void subprojectNames_data();
    void subprojectNames();
    void writtenBytes();
    void qmakeWalksMembers_data();
    void qmakeWalksMembers();
    void members_data();
    void members();
    void refused_data();
    void refused();
    void sharedSettings_data();
    void sharedSettings();
};

void TestWorkspaces::reading_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("members"); // "*" marks the active one

    const QStringList two{QStringLiteral("./Boot/boot.uvprojx"), QStringLiteral("../app.uvproj")};
    const QStringList written{QStringLiteral(".\\Boot\\boot.uvprojx"),
                              QStringLiteral("..\\app.uvproj")};
    QTest::newRow("uVision 5, CRLF")
        << uvWorkspace(written, 1) << QStringList{two.at(0), QLatin1Char('*') + two.at(1)};
    QTest::newRow("LF and a BOM") << "\xef\xbb\xbf" + uvWorkspace(written, 0, "\n")
                                  << QStringList{QLatin1Char('*') + two.at(0), two.at(1)};
    QTest::newRow("one line") << "\xef\xbb\xbf" + uvWorkspace(written, 1, "")
                              << QStringList{two.at(0), QLatin1Char('*') + two.at(1)};
    QTest::newRow("character references")
        << uvWorkspace({QStringLiteral("R&amp;D\\&#x5DE5;&#31243;.uvprojx")}, -1)
        << QStringList{QStringLiteral("R&D/工程.uvprojx")};
    QTest::newRow("blanks and quotes around the path")
        << QByteArray("<project><PathAndName>  \"..\\a b\\x.uvprojx\" </PathAndName></project>")
        << QStringList{QStringLiteral("../a b/x.uvprojx")};
    QTest::newRow("active before the path")
        << QByteArray("<project>\n<NodeIsActive>1</NodeIsActive>\n<PathAndName>a.uvprojx"
                      "</PathAndName>\n</project>\n")
        << QStringList{QStringLiteral("*a.uvprojx")};
    QTest::newRow("a project without a path takes its flag along")
        << QByteArray("<project>\n<NodeIsActive>1</NodeIsActive>\n</project>\n<project>\n"
                      "<PathAndName>b.uvprojx</PathAndName>\n</project>\n<project>\n</project>\n")
        << QStringList{QStringLiteral("b.uvprojx")};
    QTest::newRow("paths without project elements")
        << QByteArray("<PathAndName>a.uvprojx</PathAndName>\n<PathAndName>b.uvprojx</PathAndName>\n"
                      "<NodeIsActive>1</NodeIsActive>\n")
        << QStringList{QStringLiteral("a.uvprojx"), QStringLiteral("*b.uvprojx")};
    QTest::newRow("empty path, inactive node")
        << QByteArray("<project><PathAndName></PathAndName></project>\n<project>\n"
                      "<PathAndName>c.uvprojx</PathAndName>\n<NodeIsActive>0</NodeIsActive>\n"
                      "</project>\n")
        << QStringList{QStringLiteral("c.uvprojx")};
}

void TestWorkspaces::reading()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, members);

    QCOMPARE(readMembers(text), members);
}

void TestWorkspaces::subprojectNames_data()
{
    QTest::addColumn<QStringList>("proFiles");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("plain") << QStringList{"APP/app.pro", "../Boot/boot.pro"}
                           << QStringList{"app", "boot"};
    QTest::newRow("same name, any case")
        << QStringList{"F1/Project.pro", "F4/Project.pro", "F7/project.pro"}
        << QStringList{"Project", "Project_2", "project_3"};
    QTest::newRow("numbered name taken first")
        << QStringList{"x/Project_2.pro", "y/Project.pro", "z/Project.pro"}
        << QStringList{"Project_2", "Project", "Project_3"};
    QTest::newRow("characters qmake would not take")
        << QStringList{QStringLiteral("工程/主控板.pro"), "4-1 OLED/4-1 OLED.pro",
                       "C#/fw$$system(touch pwned)#1.pro", "a/.hidden.pro"}
        << QStringList{"project", "project_4_1_OLED", "fw_system_touch_pwned_1", "hidden"};
}

void TestWorkspaces::subprojectNames()
{
    QFETCH(QStringList, proFiles);
    QFETCH(QStringList, names);

    QCOMPARE(Corvane::subprojectNames(proFiles), names);
}

// The whole file for a workspace of three, the second active.
void TestWorkspaces::writtenBytes()
{
    ProjectTree tree;
    for (const QString &member :
         {QStringLiteral("APP/MDK-ARM/app.uvprojx"), QStringLiteral("C# $x/boot.uvproj"),
          QStringLiteral("../lib/lib.uvprojx")})
        QVERIFY(addMember(tree, member));
    QVERIFY(tree.add(QStringLiteral("ws/WS.uvmpw"),
                     uvWorkspace({QStringLiteral(".\\APP\\MDK-ARM\\app.uvprojx"),
                                  QStringLiteral(".\\C# $x\\boot.uvproj"),
                                  QStringLiteral("..\\lib\\lib.uvprojx")},
                                 1)));
    ConversionOptions options;
    options.timestamp = runTime;
    const WorkspaceResult result =
        convertWorkspace(tree.path(QStringLiteral("ws/WS.uvmpw")), options);
    QCOMPARE(result.message(), QStringLiteral("工程转换成功！"));
    QCOMPARE(result.outputPath,
             tree.path(QStringLiteral("ws")) + QDir::separator() + QStringLiteral("WS.pro"));
    QCOMPARE(tree.read(QStringLiteral("ws/WS.pro")),
             expectedBanner(QStringLiteral("2024-01-02 03:04")) +
                 "TEMPLATE = subdirs\r\n"
                 "# Built one after another, in this order, also by make -j.\r\n"
                 "\r\n"
                 "SUBDIRS += app\r\n"
                 "app.file = APP/MDK-ARM/app.pro\r\n"
                 "\r\n"
                 "# The active project in uVision\r\n"
                 "SUBDIRS += boot\r\n"
                 "boot.file = \"C$${LITERAL_HASH} $${LITERAL_DOLLAR}x/boot.pro\"\r\n"
                 "boot.depends = app\r\n"
                 "\r\n"
                 "SUBDIRS += lib\r\n"
                 "lib.file = ../lib/lib.pro\r\n"
                 "lib.depends = boot\r\n");
    // Each member's .pro as if it had been converted alone, with the same banner time.
    QVERIFY(tree.read(QStringLiteral("lib/lib.pro"))
                .startsWith(expectedBanner(QStringLiteral("2024-01-02 03:04"))));
}

void TestWorkspaces::qmakeWalksMembers_data()
{
    QTest::addColumn<QStringList>("written"); // the PathAndName values; @ is the tree root
    QTest::addColumn<QStringList>("members"); // those that exist, relative to the workspace
    QTest::addColumn<QByteArray>("eol");

    QTest::newRow("sub-folders and a parent folder")
        << QStringList{".\\APP\\MDK-ARM\\app.uvprojx", ".\\Boot\\boot.uvproj",
                       "..\\lib\\lib.uvprojx"}
        << QStringList{"APP/MDK-ARM/app.uvprojx", "Boot/boot.uvproj", "../lib/lib.uvprojx"}
        << QByteArray("\r\n");
    QTest::newRow("two members in one folder")
        << QStringList{".\\MDK-ARM\\boot.uvprojx", ".\\MDK-ARM\\app.uvprojx"}
        << QStringList{"MDK-ARM/boot.uvprojx", "MDK-ARM/app.uvprojx"} << QByteArray("\n");
    QTest::newRow("same name in different folders")
        << QStringList{".\\F1\\MDK-ARM\\Project.uvprojx", ".\\F4\\MDK-ARM\\Project.uvprojx"}
        << QStringList{"F1/MDK-ARM/Project.uvprojx", "F4/MDK-ARM/Project.uvprojx"}
        << QByteArray("\r\n");
    QTest::newRow("blanks and Chinese")
        << QStringList{QStringLiteral(".\\4-1 OLED显示屏\\Project.uvprojx"),
                       QStringLiteral(".\\工程 1\\主控板.uvprojx")}
        << QStringList{QStringLiteral("4-1 OLED显示屏/Project.uvprojx"),
                       QStringLiteral("工程 1/主控板.uvprojx")}
        << QByteArray("\r\n");
    QTest::newRow("# and $ in names")
        << QStringList{".\\C#\\fw$$system(touch pwned)#1.uvprojx",
                       ".\\$HOME$$[QT_INSTALL_BINS]\\a$b.uvproj", ".\\{x}\\it's.uvprojx"}
        << QStringList{"C#/fw$$system(touch pwned)#1.uvprojx",
                       "$HOME$$[QT_INSTALL_BINS]/a$b.uvproj", "{x}/it's.uvprojx"}
        << QByteArray("\r\n");
    QTest::newRow("absolute member")
        << QStringList{"@\\elsewhere\\abs.uvprojx", ".\\APP\\app.uvprojx"}
        << QStringList{"../elsewhere/abs.uvprojx", "APP/app.uvprojx"} << QByteArray("\r\n");
    QTest::newRow("missing member")
        << QStringList{".\\gone\\gone.uvprojx", ".\\APP\\app.uvprojx", ".\\APP\\gone.uvprojx"}
        << QStringList{"APP/app.uvprojx"} << QByteArray("\r\n");
    // Both converted: the member keeps WS.pro, the workspace's is WS_workspace.pro.
    QTest::newRow("a member named like the workspace")
        << QStringList{".\\WS.uvprojx", ".\\WS\\WS.uvprojx"}
        << QStringList{"WS.uvprojx", "WS/WS.uvprojx"} << QByteArray("\r\n");
    QTest::newRow("one-line workspace")
        << QStringList{".\\Boot\\boot.uvprojx", "..\\lib\\lib.uvprojx", ".\\R&amp;D\\fw.uvprojx"}
        << QStringList{"Boot/boot.uvprojx", "../lib/lib.uvprojx", "R&D/fw.uvprojx"} << QByteArray();
}

// What the acceptance asks of every layout: qmake -E names exactly the members' .pro files
// through SUBDIRS and each ".file"; qmake -r from a build folder of its own reads every
// member without an error; nothing anyone wrote runs.
void TestWorkspaces::qmakeWalksMembers()
{
    QFETCH(QStringList, written);
    QFETCH(QStringList, members);
    QFETCH(QByteArray, eol);
    QString whyNot;
    if (QmakeTool::program(&whyNot).isEmpty())
        QSKIP(qPrintable(whyNot));

    ProjectTree tree;
    for (const QString &member : members)
        QVERIFY(addMember(tree, member));
    for (QString &path : written)
        path.replace(QLatin1Char('@'), QDir::toNativeSeparators(tree.root()));
    QVERIFY(tree.add(QStringLiteral("ws/WS.uvmpw"),
                     (eol.isEmpty() ? "\xef\xbb\xbf" : "") + uvWorkspace(written, 0, eol)));
    QVERIFY(tree.add(QStringLiteral("build/")));
    const WorkspaceResult result = convertWorkspace(tree.path(QStringLiteral("ws/WS.uvmpw")));
    QVERIFY(result.succeeded());
    const QString wsPro = QFileInfo(result.outputPath).fileName();
    QCOMPARE(wsPro, QLatin1String(members.contains("WS.uvprojx") ? "WS_workspace.pro" : "WS.pro"));

    QStringList expected;
    QStringList makefiles; // where qmake puts each member's: its folder's twin in the build
    for (const QString &member : members) {
        expected.append(proFor(member));
        const QFileInfo pro(QStringLiteral("build/") + proFor(member));
        makefiles.append(QDir::cleanPath(pro.path()) + QStringLiteral("/Makefile.") +
                         pro.completeBaseName());
    }
    QByteArray evaluated;
    QString error;
    QVERIFY2(QmakeTool::evaluate(wsPro, {}, &evaluated, &error, tree.path(QStringLiteral("ws"))),
             qPrintable(error));
    const QHash<QString, QStringList> vars = QmakeTool::variables(evaluated);
    const QStringList names = vars.value(QStringLiteral("SUBDIRS"));
    QStringList files;
    for (const QString &name : names)
        files += vars.value(name + QStringLiteral(".file"));
    QCOMPARE(files, expected);
    QCOMPARE(names.size(), expected.size());

    QStringList read;
    QVERIFY2(
        QmakeTool::recurse(result.outputPath, tree.path(QStringLiteral("build")), &read, &error),
        qPrintable(error));
    // Qt 6's qmake writes the names it reads in Latin-1: count them, find their Makefiles.
    QCOMPARE(read.size(), members.size());
    for (const QString &makefile : makefiles)
        QVERIFY2(QFileInfo::exists(tree.path(makefile)), qPrintable(makefile));
    for (const QString &file : tree.entries())
        QVERIFY2(!file.endsWith(QLatin1String("pwned")), "qmake ran a command");
}

void TestWorkspaces::members_data()
{
    QTest::addColumn<QByteArray>("workspace");
    // Member projects that exist; "name=text" for other files, "name->target" for links.
    QTest::addColumn<QStringList>("projects");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("outcomes"); // per member: its path in the workspace folder,
                                               // " = " and its message
    QTest::addColumn<QStringList>("listed");   // the .file values of WS.pro, "*" for active

    const QString ok = QStringLiteral(" = 工程转换成功！");
    const QString wrong = QStringLiteral(" = 打开文件路径有误！");
    const QString missing = QStringLiteral(" = 打开工程文件失败！");
    // The first failure is the workspace's.
    QTest::newRow("none converted")
        << uvWorkspace({".\\a\\a.uvprojx", ".\\b\\b.uvprojx", ".\\notes.txt"}, 0)
        << QStringList{"notes.txt=<Project/>"} << int(ConversionStatus::ProjectOpenFailed)
        << QStringList{"a/a.uvprojx" + missing, "b/b.uvprojx" + missing, "notes.txt" + wrong}
        << QStringList();
    QTest::newRow("names no project")
        << QByteArray("<Project>\n  <FilePath>main.c</FilePath>\n</Project>\n") << QStringList{}
        << int(ConversionStatus::WrongPath) << QStringList() << QStringList();
    QTest::newRow("not a project, another workspace, a folder")
        << uvWorkspace({".\\notes.txt", ".\\other.uvmpw", ".\\dir.uvprojx\\", ".\\a\\a.uvproj"}, 3)
        << QStringList{"a/a.uvproj", "notes.txt=<Project/>", "other.uvmpw=<project/>",
                       "dir.uvprojx/"}
        << int(ConversionStatus::Converted)
        << QStringList{"notes.txt" + wrong, "other.uvmpw" + wrong, "dir.uvprojx" + missing,
                       "a/a.uvproj" + ok}
        << QStringList{"*a/a.pro"};
    QTest::newRow("named twice, active the second time")
        << uvWorkspace({".\\a\\a.uvprojx", ".\\b\\b.uvprojx", "b\\..\\a\\.\\a.uvprojx"}, 2)
        << QStringList{"a/a.uvprojx", "b/b.uvprojx"} << int(ConversionStatus::Converted)
        << QStringList{"a/a.uvprojx" + ok, "b/b.uvprojx" + ok}
        << QStringList{"*a/a.pro", "b/b.pro"};
    // The workspace's own .pro then takes another name (see workspaceName).
    QTest::newRow(".pro named like the workspace's, or like an earlier member's")
        << uvWorkspace({".\\WS.uvprojx", ".\\a\\fw.uvprojx", ".\\a\\fw.uvproj", ".\\b\\b.uvprojx"},
                       -1)
        << QStringList{"WS.uvprojx", "a/fw.uvprojx", "a/fw.uvproj", "b/b.uvprojx"}
        << int(ConversionStatus::Converted)
        << QStringList{"WS.uvprojx" + ok, "a/fw.uvprojx" + ok, "a/fw.uvproj" + wrong,
                       "b/b.uvprojx" + ok}
        << QStringList{"WS.pro", "a/fw.pro", "b/b.pro"};
#ifndef Q_OS_WIN
    QTest::newRow(".pro a link to the workspace")
        << uvWorkspace({".\\m.uvprojx", ".\\a\\a.uvprojx"}, -1)
        << QStringList{"m.uvprojx", "a/a.uvprojx", "m.pro->WS.uvmpw"}
        << int(ConversionStatus::Converted) << QStringList{"m.uvprojx" + wrong, "a/a.uvprojx" + ok}
        << QStringList{"a/a.pro"};
#endif
    // A target the user asked for names a single project's target, not its members'.
    QTest::newRow("target asked for")
        << uvWorkspace({".\\a\\a.uvprojx"}, -1)
        << QStringList{"a/a.uvprojx=<TargetName>Debug</TargetName><TargetName>Release</TargetName>"}
        << int(ConversionStatus::Converted) << QStringList{"a/a.uvprojx" + ok}
        << QStringList{"a/a.pro"};
}

void TestWorkspaces::members()
{
    QFETCH(QByteArray, workspace);
    QFETCH(QStringList, projects);
    QFETCH(int, status);
    QFETCH(QStringList, outcomes);
    QFETCH(QStringList, listed);

    ProjectTree tree;
    for (const QString &project : projects) {
        const int eq = project.indexOf(QLatin1Char('='));
        const int arrow = project.indexOf(QLatin1String("->"));
        if (arrow > 0)
            QVERIFY(QFile::link(project.mid(arrow + 2),
                                tree.path(QStringLiteral("ws/") + project.left(arrow))));
        else if (eq < 0 && !project.endsWith(QLatin1Char('/')))
            QVERIFY(addMember(tree, project));
        else if (eq < 0)
            QVERIFY(tree.add(QStringLiteral("ws/") + project));
        else
            QVERIFY(
                tree.add(QStringLiteral("ws/") + project.left(eq), project.mid(eq + 1).toUtf8()));
    }
    QVERIFY(tree.add(QStringLiteral("ws/WS.uvmpw"), workspace));
    const QStringList before = tree.entries();

    ConversionOptions options;
    options.timestamp = runTime;
    options.target = QStringLiteral("Release");
    const WorkspaceResult result =
        convertWorkspace(tree.path(QStringLiteral("ws/WS.uvmpw")), options);
    QCOMPARE(int(result.status), status);
    QCOMPARE(tree.read(QStringLiteral("ws/WS.uvmpw")), workspace);

    QStringList got;
    QStringList written;
    for (const WorkspaceMemberResult &member : result.members) {
        QVERIFY2(member.path.startsWith(tree.path(QStringLiteral("ws/"))), qPrintable(member.path));
        got.append(member.path.mid(tree.path(QStringLiteral("ws/")).size()) +
                   QStringLiteral(" = ") + member.result.message());
        if (member.result.succeeded())
            written.append(
                QDir(tree.root())
                    .relativeFilePath(QDir::fromNativeSeparators(member.result.outputPath)));
    }
    QCOMPARE(got, outcomes);

    const QString workspacePro =
        QDir(tree.root()).relativeFilePath(QDir::fromNativeSeparators(result.outputPath));
    QStringList after = before + written;
    if (result.succeeded())
        after.append(workspacePro);
    after.sort();
    QCOMPARE(tree.entries(), after);
    if (!result.succeeded())
        return;
    QStringList files;
    const QList<QByteArray> lines = tree.read(workspacePro).split('\n');
    bool active = false;
    for (const QByteArray &line : lines) {
        active = active || line.startsWith("# The active project");
        const int at = line.indexOf(".file = ");
        if (at < 0)
            continue;
        files.append((active ? QStringLiteral("*") : QString()) +
                     QString::fromUtf8(line.mid(at + 8)).trimmed());
        active = false;
    }
    QCOMPARE(files, listed);
    if (qstrcmp(QTest::currentDataTag(), "target asked for") == 0)
        QVERIFY(tree.read(QStringLiteral("ws/a/a.pro"))
                    .contains("isEmpty(UV_TARGET): UV_TARGET = \"Debug\"\r\n"));
}

void TestWorkspaces::refused_data()
{
    QTest::addColumn<QString>("path"); // relative to the tree root
    QTest::addColumn<QString>("setup");
    QTest::addColumn<int>("status");

    QTest::newRow("empty path") << QString() << QString() << int(ConversionStatus::EmptyPath);
    QTest::newRow("suffix in capitals")
        << "WS.UVMPW" << QString() << int(ConversionStatus::WrongPath);
    QTest::newRow("WS.pro links to the workspace") << "WS.uvmpw"
                                                   << "link" << int(ConversionStatus::WrongPath);
    QTest::newRow("missing") << "gone.uvmpw" << QString()
                             << int(ConversionStatus::ProjectOpenFailed);
    QTest::newRow("a folder") << "dir.uvmpw" << QString()
                              << int(ConversionStatus::ProjectOpenFailed);
    QTest::newRow("WS.pro read-only") << "WS.uvmpw"
                                      << "read-only" << int(ConversionStatus::OutputFailed);
    QTest::newRow("WS.pro a folder") << "WS.uvmpw"
                                     << "folder" << int(ConversionStatus::OutputFailed);
}

// Refused before any member is converted: every file stays as it was.
void TestWorkspaces::refused()
{
    QFETCH(QString, path);
    QFETCH(QString, setup);
    QFETCH(int, status);

    ProjectTree tree;
    QVERIFY(addMember(tree, QStringLiteral("a/a.uvprojx")));
    const QByteArray workspace = uvWorkspace({QStringLiteral(".\\ws\\a\\a.uvprojx")}, 0);
    QVERIFY(tree.add(QStringLiteral("WS.uvmpw"), workspace));
    QVERIFY(tree.add(QStringLiteral("WS.UVMPW"), workspace));
    QVERIFY(tree.add(QStringLiteral("dir.uvmpw/")));
    if (setup == QLatin1String("link")) {
#ifdef Q_OS_WIN
        QSKIP("a link on Windows is a .lnk file, not a second name of the workspace");
#endif
        QVERIFY(QFile::link(tree.path(QStringLiteral("WS.uvmpw")),
                            tree.path(QStringLiteral("WS.pro"))));
    } else if (setup == QLatin1String("read-only")) {
        QVERIFY(tree.add(QStringLiteral("WS.pro"), "old"));
        QVERIFY(QFile::setPermissions(tree.path(QStringLiteral("WS.pro")), QFileDevice::ReadOwner));
    } else if (setup == QLatin1String("folder")) {
        QVERIFY(tree.add(QStringLiteral("WS.pro/")));
    }
    const QStringList before = tree.entries();

    const WorkspaceResult result = convertWorkspace(path.isEmpty() ? path : tree.path(path));
    QCOMPARE(int(result.status), status);
    QVERIFY(result.members.isEmpty());
    QCOMPARE(tree.entries(), before);
    QCOMPARE(tree.read(QStringLiteral("WS.uvmpw")), workspace);
    if (setup == QLatin1String("read-only"))
        QCOMPARE(tree.read(QStringLiteral("WS.pro")), QByteArray("old"));
}

void TestWorkspaces::sharedSettings_data()
{
    // Each member's main.c, then a library they all list: GBK, UTF-8 or ASCII.
    QTest::addColumn<QByteArray>("sources");
    QTest::addColumn<QByteArray>("codec"); // WS.pro.shared's

    QTest::newRow("a GBK member, an ASCII one") << QByteArray("GAA") << QByteArray("GBK");
    // The GBK member's own .pro.shared names GBK.
    QTest::newRow("a GBK member, two UTF-8") << QByteArray("GUUA") << QByteArray();
    QTest::newRow("a library counted once") << QByteArray("GGAU") << QByteArray("GBK");
}

void TestWorkspaces::sharedSettings()
{
    QFETCH(QByteArray, sources);
    QFETCH(QByteArray, codec);
    const auto text = [](char c) -> QByteArray {
        return c == 'G' ? "/* \xd6\xd0 */" : c == 'U' ? "/* \xe4\xb8\xad */" : "";
    };
    ProjectTree tree;
    QStringList paths;
    QVERIFY(tree.add(QStringLiteral("ws/lib.c"), text(sources.back())));
    for (const char source : sources.chopped(1)) {
        const QString dir = QStringLiteral("ws/m%1/").arg(paths.size());
        QVERIFY(tree.add(dir + QStringLiteral("m.uvprojx"),
                         memberProject + "<FilePath>..\\lib.c</FilePath>\r\n"));
        QVERIFY(tree.add(dir + QStringLiteral("main.c"), text(source)));
        paths.append(QStringLiteral(".\\m%1\\m.uvprojx").arg(paths.size()));
    }
    QVERIFY(tree.add(QStringLiteral("ws/WS.uvmpw"), uvWorkspace(paths, 0)));
    const WorkspaceResult result = convertWorkspace(tree.path(QStringLiteral("ws/WS.uvmpw")));
    QCOMPARE(ProjectTree::readFile(result.outputPath + QStringLiteral(".shared")),
             codec.isEmpty() ? QByteArray() : Corvane::sharedSettings(codec));
}

QTEST_GUILESS_MAIN(TestWorkspaces)
#include "tst_workspaces.moc"
