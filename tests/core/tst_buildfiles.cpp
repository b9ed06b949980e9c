// Which list each file of a target's groups goes to: SOURCES for what the target compiles,
// HEADERS for headers, DISTFILES for documents, objects, libraries and what the target
// leaves out of its build ("Include in Target Build" unchecked for the file or its group).

#include "conversion/conversion.h"
#include "projecttree.h"
#include "uvprojx.h"

#include <QtTest>

using namespace Corvane;

namespace {

// The .pro between the banner and the closing lines.
QByteArray convert(const QByteArray &project)
{
    ProjectTree tree;
    ConversionOptions options;
    options.timestamp = QDateTime(QDate(2024, 3, 1), QTime(9, 5));
    if (!tree.add(QStringLiteral("fw.uvprojx"), project) ||
        !convertProject(tree.path(QStringLiteral("fw.uvprojx")), options).succeeded())
        return "<not converted>";
    const QByteArray pro = withoutUvisionBuild(tree.read(QStringLiteral("fw.pro")));
    return pro.mid(expectedBanner(QString()).size() + 16).chopped(6);
}

// <IncludeInBuild> inside the options of a target, a group or a file.
QByteArray includeInBuild(const char *options, const char *value)
{
    return QByteArray("<") + options + ">\n<CommonProperty>\n<IncludeInBuild>" + value +
           "</IncludeInBuild>\n</CommonProperty>\n</" + options + ">\n";
}

QByteArray file(const char *type, const char *path, const char *leftOut = nullptr)
{
    QByteArray out = "<File>\n<FileName>x</FileName>\n";
    if (type)
        out += QByteArray("<FileType>") + type + "</FileType>\n";
    out += QByteArray("<FilePath>") + path + "</FilePath>\n";
    if (leftOut)
        out += includeInBuild("FileOption", leftOut);
    return out + "</File>\n";
}

QByteArray group(const QByteArray &files, const char *leftOut = nullptr)
{
    return "<Group>\n<GroupName>G</GroupName>\n" +
           (leftOut ? includeInBuild("GroupOption", leftOut) : QByteArray()) + "<Files>\n" + files +
           "</Files>\n</Group>\n";
}

QByteArray target(const char *name, const QByteArray &groups, const char *leftOut = "1")
{
    return QByteArray("<Target>\n<TargetName>") + name + "</TargetName>\n" +
           includeInBuild("TargetOption", leftOut) + "<Groups>\n" + groups +
           "</Groups>\n</Target>\n";
}

QByteArray list(const char *name, const QList<QByteArray> &paths)
{
    return "\r\n" + QByteArray(name) + " += \\ \r\n" + Pro::entries(paths);
}

} // namespace

class TestBuildFiles : public QObject
{
    Q_OBJECT

private slots:
    void lists_data();
    void lists();
};

void TestBuildFiles::lists_data()
{
    QTest::addColumn<QByteArray>("project");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("a group left out, a file left out in another, a file as its group says")
        << target("T",
                  group(file("1", "a.c") + file("5", "b.h"), "0") + group(file("1", "f.c")) +
                      group(file("1", "c.c") + file("1", "d.c", "0") + file("1", "e.c", "2"), "2") +
                      group(file("1", "g.c"), "0"))
        << Pro::sources({"f.c", "c.c", "e.c"}) + list("DISTFILES", {"a.c", "b.h", "d.c", "g.c"});
    QTest::newRow("the target's own IncludeInBuild is no file's")
        << target("T", group(file("1", "a.c")), "0") << Pro::sources({"a.c"});
    QTest::newRow("each FileType")
        << target("T", group(file("1", "a.c") + file("2", "s.s") + file("5", "A.H") +
                             file("8", "x.cpp") + file("5", "doc\\readme.txt") + file("3", "o.o") +
                             file("5", "b.hpp") + file("4", "l.lib") + file("6", "y.c") +
                             file(nullptr, "z.c")))
        << Pro::sources({"a.c", "s.s", "x.cpp", "y.c", "z.c"}) + list("HEADERS", {"A.H", "b.hpp"}) +
               list("DISTFILES", {"doc/readme.txt", "o.o", "l.lib"});
    QTest::newRow("per target; a target that leaves out everything")
        << target("A", group(file("1", "a.c"))) + target("B", group(file("1", "a.c", "0")))
        << Pro::scopeDefault({"A", "B"}) + "equals(UV_TARGET, \"A\") {\r\n" +
               Pro::sources({"a.c"}) + "}\r\nequals(UV_TARGET, \"B\") {\r\n" +
               list("DISTFILES", {"a.c"}) + "}\r\n" + Pro::targetCheck({"A", "B"});
    QTest::newRow("left out: blanks, $ and #")
        << target("T", group(file("1", "My Dir\\$x#1.c", "0")))
        << list("DISTFILES", {"\"My Dir/$${LITERAL_DOLLAR}x$${LITERAL_HASH}1.c\""});
}

void TestBuildFiles::lists()
{
    QFETCH(QByteArray, project);
    QFETCH(QByteArray, expected);

    QCOMPARE(convert(project), expected);
    QCOMPARE(convert(crlf(project)), expected);
    // Compact XML: the whole project on one line.
    QCOMPARE(convert(QByteArray(project).replace('\n', "")), expected);
}

QTEST_GUILESS_MAIN(TestBuildFiles)
#include "tst_buildfiles.moc"
