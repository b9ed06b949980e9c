// Projects of several targets: one qmake scope per target, selected by UV_TARGET. And how
// values are taken from lines: between their own tags, with character references decoded.

#include "conversion.h"
#include "projecttree.h"
#include "qmaketool.h"
#include "uvprojx.h"

#include <QtTest>

using namespace Corvane;

namespace {

QByteArray convert(const QByteArray &project, bool *ok)
{
    ProjectTree tree;
    ConversionOptions options;
    options.timestamp = QDateTime(QDate(2024, 3, 1), QTime(9, 5));
    *ok = tree.add(QStringLiteral("fw.uvprojx"), project) &&
          convertProject(tree.path(QStringLiteral("fw.uvprojx")), options).succeeded();
    return withoutUvisionBuild(tree.read(QStringLiteral("fw.pro")))
        .mid(expectedBanner(QString()).size() + 16);
}

QByteArray scope(const QByteArray &name)
{
    return "equals(UV_TARGET, \"" + name + "\") {\r\n";
}

} // namespace

class TestTargets : public QObject
{
    Q_OBJECT

private slots:
    void body_data();
    void body();
    void compactProject();
    void targetNames_data();
    void targetNames();
};

void TestTargets::body_data()
{
    QTest::addColumn<QByteArray>("project");
    QTest::addColumn<QByteArray>("expected"); // the .pro between the banner and the closing

    const QByteArray defaultLine = "isEmpty(UV_TARGET): UV_TARGET = \"A\"\r\n";
    QTest::newRow("sources after a scope line")
        << QByteArray("<TargetName>A</TargetName>\n<FilePath>a.c</FilePath>\n"
                      "<TargetName>B</TargetName>\n<FilePath>b.c</FilePath>\n")
        << defaultLine + scope("A") + Pro::sources({"a.c"}) + "}\r\n" + scope("B") +
               Pro::sources({"b.c"}) + "}\r\n" + Pro::targetCheck({"A", "B"});
    QTest::newRow("sources after an include block, an empty define between")
        << QByteArray("<FilePath>a.c</FilePath>\n<Define></Define>\n"
                      "<IncludePath>inc</IncludePath>\n<FilePath>b.c</FilePath>\n")
        << Pro::sources({"a.c"}) + Pro::includes({"inc"}) + Pro::sources({"b.c"});
    QTest::newRow("sources after a device comment")
        << QByteArray("<FilePath>a.c</FilePath>\n<Device>X</Device>\n<FilePath>b.c</FilePath>\n")
        << Pro::sources({"a.c"}) + Pro::device("X") + Pro::sources({"b.c"});
    QTest::newRow("one-character values with blanks around them")
        << QByteArray("<FilePath> x</FilePath>\n<FilePath>y </FilePath>\n<Define> D </Define>\n"
                      "<Device>\tv </Device>\n<FilePath> z </FilePath>\n")
        << Pro::sources({"x", "y"}) + Pro::defines({"D"}) + Pro::device("v") + Pro::sources({"z"});
    QTest::newRow("empty and blank target names are no targets")
        << QByteArray("<TargetName>A</TargetName>\n<TargetName> </TargetName>\n"
                      "<TargetName></TargetName>\n<FilePath>a.c</FilePath>\n")
        << Pro::sources({"a.c"});
    QTest::newRow("elements before and after on one line")
        << QByteArray("<File><FileName>main.c</FileName><FilePath>..\\main.c</FilePath></File>\n"
                      "<Cads><Define>A</Define><Undefine></Undefine><IncludePath>inc</IncludePath>"
                      "</Cads>\n")
        << Pro::sources({"../main.c"}) + Pro::defines({"A"}) + Pro::includes({"inc"});
    QTest::newRow("character references")
        << QByteArray("<FilePath>..\\R&amp;D\\a&#x26;b&#38;c.c</FilePath>\n"
                      "<Define>S=&quot;x&quot;,&lt;&gt;,it&apos;s,&bogus;,&#0;,&#x41;</Define>\n")
        << Pro::sources({"../R&D/a&b&c.c"}) +
               Pro::defines({"S=\"x\"", "<>", "it\"'\"s", "&bogus;", "&$${LITERAL_HASH}0;", "A"});
    QTest::newRow("closing tag alone, past the opening tag's length")
        << QByteArray("<Define>\nabcdefghi</Define>\nabcdefgh</Define>\n")
        << Pro::defines({"abcdefghi"});
}

void TestTargets::body()
{
    QFETCH(QByteArray, project);
    QFETCH(QByteArray, expected);
    bool ok = false;
    const QByteArray pro = convert(project, &ok);
    QVERIFY(ok);
    QCOMPARE(pro, expected + "\r\n\r\n\r\n");
}

void TestTargets::compactProject()
{
    // A project written on one line gives the same .pro as the same project pretty-printed.
    UvTarget debug;
    debug.name = "Debug";
    debug.device = "STM32F103C8";
    debug.define = "USE_HAL_DRIVER, DEBUG";
    debug.includePath = "..\\Inc;..\\My Drivers";
    debug.files = {"..\\Src\\main.c", "startup.s"};
    UvTarget release = debug;
    release.name = "Release";
    release.define = "USE_HAL_DRIVER,NDEBUG";
    const QByteArray pretty = uvProject({debug, release});
    QByteArray compact;
    for (const QByteArray &line : pretty.split('\n'))
        compact += line.trimmed();

    bool ok = false;
    const QByteArray expected = convert(pretty, &ok);
    QVERIFY(ok);
    QVERIFY(expected.contains(scope("Release")));
    QCOMPARE(convert(compact, &ok), expected);
    QVERIFY(ok);
}

void TestTargets::targetNames_data()
{
    QTest::addColumn<QByteArray>("name");   // as the project holds it, XML-encoded
    QTest::addColumn<QByteArray>("quoted"); // as the .pro and a wrapper spell it

    QTest::newRow("blanks") << QByteArray("Target 1") << QByteArray("\"Target 1\"");
    QTest::newRow("hash and dollar")
        << QByteArray("C# $$system(touch pwned)")
        << QByteArray("\"C$${LITERAL_HASH} $${LITERAL_DOLLAR}$${LITERAL_DOLLAR}system(touch "
                      "pwned)\"");
    QTest::newRow("quotes and backslash")
        << QByteArray("a &quot;b&quot; \\c") << QByteArray("\"a \\\"b\\\" \\\\c\"");
    QTest::newRow("braces and apostrophe") << QByteArray("{x} it's") << QByteArray("\"{x} it's\"");
    QTest::newRow("Chinese") << QByteArray("调试 版本") << QByteArray("\"调试 版本\"");
}

void TestTargets::targetNames()
{
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, quoted);

    const QByteArray project = "<TargetName>First</TargetName>\n<FilePath>first.c</FilePath>\n"
                               "<TargetName>" +
                               name + "</TargetName>\n<FilePath>named.c</FilePath>\n";
    ProjectTree tree;
    QVERIFY(tree.add(QStringLiteral("fw.uvprojx"), project));
    QVERIFY(convertProject(tree.path(QStringLiteral("fw.uvprojx"))).succeeded());
    const QByteArray pro = tree.read(QStringLiteral("fw.pro"));
    QVERIFY2(pro.contains(QByteArray("}\r\nequals(UV_TARGET, " + quoted + ") {\r\n")),
             pro.constData());

    QString whyNot;
    if (QmakeTool::program(&whyNot).isEmpty())
        QSKIP(qPrintable(whyNot));
    const QList<QPair<QByteArray, QString>> selections = {
        {QByteArray(), QStringLiteral("first.c")},
        {"UV_TARGET = " + quoted, QStringLiteral("named.c")}};
    for (const auto &selection : selections) {
        QVERIFY(tree.add(QStringLiteral("select.pro"), selection.first + "\ninclude(fw.pro)\n"));
        QByteArray evaluated;
        QString error;
        QVERIFY2(QmakeTool::evaluate(tree.path(QStringLiteral("select.pro")), {}, &evaluated,
                                     &error, tree.root()),
                 qPrintable(error));
        QCOMPARE(QmakeTool::variables(evaluated).value(QStringLiteral("SOURCES")),
                 QStringList{selection.second});
    }
    // A name that is no target stops qmake, also one that would match as a pattern.
    for (const QByteArray &wrong : {QByteArray("nope"), QByteArray(".*")}) {
        QVERIFY(tree.add(QStringLiteral("select.pro"),
                         "UV_TARGET = \"" + wrong + "\"\ninclude(fw.pro)\n"));
        QByteArray evaluated;
        QString error;
        QVERIFY(!QmakeTool::evaluate(tree.path(QStringLiteral("select.pro")), {}, &evaluated,
                                     &error, tree.root()));
        QVERIFY2(error.contains(QStringLiteral("UV_TARGET \"") + QString::fromUtf8(wrong) +
                                QStringLiteral("\" names no target of this project; its targets "
                                               "are \"First\", \"")),
                 qPrintable(error));
    }
    QVERIFY(!QFileInfo::exists(tree.path(QStringLiteral("pwned"))));
}

QTEST_GUILESS_MAIN(TestTargets)
#include "tst_targets.moc"
