// Projects of several targets: one qmake scope per target, selected by UV_TARGET. And how
// values are taken from lines: between their own tags, with character references decoded.

#include "conversion/conversion.h"
#include "conversion/workspaceconversion.h"
#include "projecttree.h"
#include "qmaketool.h"
#include "reading/projectlines.h"
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

// A target's output options as uVision writes them; `links`: CreateExecutable, CreateLib.
QByteArray linking(const QByteArray &target, const QByteArray &folder, const QByteArray &name,
                   const char *links = "10", const QByteArray &toolset = "ARM-ADS")
{
    return "<TargetName>" + target + "</TargetName><ToolsetName>" + toolset +
           "</ToolsetName><OutputDirectory>" + folder + "</OutputDirectory><OutputName>" + name +
           "</OutputName><CreateExecutable>" + links[0] + "</CreateExecutable><CreateLib>" +
           links[1] + "</CreateLib>\n";
}

} // namespace

class TestTargets : public QObject
{
    Q_OBJECT

private slots:
    void body_data();
    void body();
    void compactProject();
    void characterReferences_data();
    void characterReferences();
    void targetNames_data();
    void targetNames();
    void valuesBeforeFirstTarget_data();
    void valuesBeforeFirstTarget();
    void linkedProgram_data();
    void linkedProgram();
};

void TestTargets::body_data()
{
    QTest::addColumn<QByteArray>("project");
    QTest::addColumn<QByteArray>("expected"); // the .pro between the banner and the closing

    const QByteArray defaultLine = Pro::scopeDefault({"A", "B"});
    QTest::newRow("sources after a scope line")
        << QByteArray("<TargetName>A</TargetName>\n<FilePath>a.c</FilePath>\n"
                      "<TargetName>B</TargetName>\n<FilePath>b.c</FilePath>\n")
        << defaultLine + scope("A") + Pro::sources({"a.c"}) + "}\r\n" + scope("B") +
               Pro::sources({"b.c"}) + "}\r\n" + Pro::targetCheck({"A", "B"});
    // The entries end in a continuation: an empty line ends them before the default line.
    QTest::newRow("a source before the first target")
        << QByteArray("<FilePath>pre.c</FilePath>\n<TargetName>A</TargetName>\n"
                      "<FilePath>a.c</FilePath>\n<TargetName>B</TargetName>\n")
        << Pro::sources({"pre.c"}) + "\r\n" + defaultLine + scope("A") + Pro::sources({"a.c"}) +
               "}\r\n" + scope("B") + "}\r\n" + Pro::targetCheck({"A", "B"});
    QTest::newRow("an include list before the first target")
        << QByteArray("<IncludePath>inc</IncludePath>\n<TargetName>A</TargetName>\n"
                      "<TargetName>B</TargetName>\n")
        << Pro::includes({"inc"}) + "\r\n" + defaultLine + scope("A") + "}\r\n" + scope("B") +
               "}\r\n" + Pro::targetCheck({"A", "B"});
    QTest::newRow("a header and a document before the first target")
        << QByteArray("<FileType>5</FileType><FilePath>pre.h</FilePath>\n"
                      "<FileType>5</FileType><FilePath>readme.txt</FilePath>\n"
                      "<TargetName>A</TargetName>\n<TargetName>B</TargetName>\n")
        << "\r\nHEADERS += \\ \r\n" + Pro::entries({"pre.h"}) + "\r\nDISTFILES += \\ \r\n" +
               Pro::entries({"readme.txt"}) + "\r\n" + defaultLine + scope("A") + "}\r\n" +
               scope("B") + "}\r\n" + Pro::targetCheck({"A", "B"});
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
    // The target's options come before its files: after a FilePath they would be the file's.
    QTest::newRow("elements before and after on one line")
        << QByteArray("<Cads><Define>A</Define><Undefine></Undefine><IncludePath>inc</IncludePath>"
                      "</Cads>\n"
                      "<File><FileName>main.c</FileName><FilePath>..\\main.c</FilePath></File>\n")
        << Pro::defines({"A"}) + Pro::includes({"inc"}) + Pro::sources({"../main.c"});
    QTest::newRow("character references")
        << QByteArray("<FilePath>..\\R&amp;D\\a&#x26;b&#38;c.c</FilePath>\n"
                      "<Define>S=&quot;x&quot;,&lt;&gt;,it&apos;s,&bogus;,&#0;,&#x41;</Define>\n")
        << Pro::sources({"../R&D/a&b&c.c"}) +
               Pro::defines({"S=\"x\"", "<>", "it\"'\"s", "&bogus;", "&$${LITERAL_HASH}0;", "A"});
    QTest::newRow("commented out on one line")
        << QByteArray("<!-- was -> <Define>OLD</Define> --><Define>A</Define><!--<FilePath>x.c"
                      "</FilePath>-->\n")
        << Pro::defines({"A"});
    QTest::newRow("commented out over several lines")
        << QByteArray("<Define>A</Define><!-- <Define>OLD</Define>\n<FilePath>x.c</FilePath>\n"
                      "<IncludePath>old</IncludePath>\n"
                      "--><FilePath>a.c</FilePath>\n<!--\n<Device>OLD</Device>\n-->\n")
        << Pro::defines({"A"}) + Pro::sources({"a.c"});
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

void TestTargets::characterReferences_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("decoded"); // UTF-8 in the source

    // The edges of the characters XML allows; a reference to anything else stays as it is.
    const QList<QPair<const char *, const char *>> cases = {
        {"&#8;", "&#8;"},
        {"&#9;", "\t"},
        {"&#xA;", "\n"},
        {"&#13;", "\r"},
        {"&#x1F;", "&#x1F;"},
        {"&#32;", " "},
        {"&#xD7FF;", "\xED\x9F\xBF"},
        {"&#xD800;", "&#xD800;"},
        {"&#57343;", "&#57343;"},
        {"&#xE000;", "\xEE\x80\x80"},
        {"&#xFFFD;", "\xEF\xBF\xBD"},
        {"&#xFFFE;", "&#xFFFE;"},
        {"&#xFFFF;", "&#xFFFF;"},
        {"&#x10000;", "\xF0\x90\x80\x80"},
        {"&#x10FFFF;", "\xF4\x8F\xBF\xBF"},
        {"&#1114111;", "\xF4\x8F\xBF\xBF"},
        {"&#x110000;", "&#x110000;"},
    };
    for (const auto &c : cases)
        QTest::newRow(c.first) << QString::fromUtf8(c.first) << QString::fromUtf8(c.second);
}

void TestTargets::characterReferences()
{
    QFETCH(QString, text);
    QFETCH(QString, decoded);
    const QString line = QStringLiteral("a") + text + QStringLiteral("b");
    QCOMPARE(decodeXmlText(line), QString(QStringLiteral("a") + decoded + QStringLiteral("b")));
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
                                               "are 1: \"First\", 2: \"")),
                 qPrintable(error));
    }
    QVERIFY(!QFileInfo::exists(tree.path(QStringLiteral("pwned"))));
}

void TestTargets::valuesBeforeFirstTarget_data()
{
    QTest::addColumn<QByteArray>("before"); // the lines before the first TargetName
    QTest::addColumn<QString>("target");    // UV_TARGET given to qmake; empty for the default
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<QStringList>("headers");

    const QByteArray source = "<FilePath>pre.c</FilePath>\n";
    const QByteArray include = "<IncludePath>inc</IncludePath>\n";
    const QStringList header = {QStringLiteral("inc/x.h")};
    QTest::newRow("a source, by default")
        << source << QString() << QStringList{QStringLiteral("pre.c"), QStringLiteral("a.c")}
        << QStringList();
    QTest::newRow("a source, A") << source << QStringLiteral("A")
                                 << QStringList{QStringLiteral("pre.c"), QStringLiteral("a.c")}
                                 << QStringList();
    QTest::newRow("a source, B") << source << QStringLiteral("B")
                                 << QStringList{QStringLiteral("pre.c"), QStringLiteral("b.c")}
                                 << QStringList();
    QTest::newRow("an include list, by default")
        << include << QString() << QStringList{QStringLiteral("a.c")} << header;
    QTest::newRow("an include list, B")
        << include << QStringLiteral("B") << QStringList{QStringLiteral("b.c")} << header;
    QTest::newRow("a header of a group, B")
        << QByteArray("<FileType>5</FileType><FilePath>pre.h</FilePath>\n") << QStringLiteral("B")
        << QStringList{QStringLiteral("b.c")} << QStringList{QStringLiteral("pre.h")};
}

void TestTargets::valuesBeforeFirstTarget()
{
    // Values before the first target stay outside the scopes: every target has them.
    QFETCH(QByteArray, before);
    QFETCH(QString, target);
    QFETCH(QStringList, sources);
    QFETCH(QStringList, headers);

    QString whyNot;
    if (QmakeTool::program(&whyNot).isEmpty())
        QSKIP(qPrintable(whyNot));
    ProjectTree tree;
    QVERIFY(tree.add(QStringLiteral("inc/x.h")));
    QVERIFY(tree.add(QStringLiteral("fw.uvprojx"),
                     before + "<TargetName>A</TargetName>\n<FilePath>a.c</FilePath>\n"
                              "<TargetName>B</TargetName>\n<FilePath>b.c</FilePath>\n"));
    QVERIFY(convertProject(tree.path(QStringLiteral("fw.uvprojx"))).succeeded());
    QByteArray evaluated;
    QString error;
    const QStringList args =
        target.isEmpty() ? QStringList() : QStringList{QStringLiteral("UV_TARGET=") + target};
    QVERIFY2(QmakeTool::evaluate(tree.path(QStringLiteral("fw.pro")), args, &evaluated, &error,
                                 tree.root()),
             qPrintable(error));
    const QHash<QString, QStringList> vars = QmakeTool::variables(evaluated);
    QCOMPARE(vars.value(QStringLiteral("UV_TARGET")),
             QStringList{target.isEmpty() ? QStringLiteral("A") : target});
    QCOMPARE(vars.value(QStringLiteral("SOURCES")), sources);
    QCOMPARE(vars.value(QStringLiteral("HEADERS")), headers);
}

void TestTargets::linkedProgram_data()
{
    QTest::addColumn<QString>("pro");      // fw/MDK-ARM/fw.pro, or the workspace member's
    QTest::addColumn<QString>("args");     // qmake's; UV_TARGET empty for the default
    QTest::addColumn<QString>("expected"); // TARGET|DESTDIR below the root|TARGET_EXT

    const auto row = [](const char *pro, const char *args, const char *expected) {
        QTest::newRow(args) << QString::fromUtf8(pro) << QString::fromUtf8(args)
                            << QString::fromUtf8(expected);
    };
    const char *fw = "fw/MDK-ARM/fw.pro";
    row(fw, "CONFIG+=qtc_run UV_TARGET=", "Blinky|fw/MDK-ARM/Objects|.axf");
    row(fw, "CONFIG+=qtc_run UV_TARGET=2", "闪灯 $1 #2 \"q\"|fw/输出 $#',|.axf");
    row(fw, "CONFIG+=qtc_run UV_TARGET=Abs", "abs|D:/fw out|.axf");
    row(fw, "CONFIG+=qtc_run UV_TARGET=4", "my app|fw/MDK-ARM|.axf");
    row(fw, "CONFIG+=qtc_run UV_TARGET=Lib", "fw||");
    row(fw, "CONFIG+=qtc_run UV_TARGET=Both", "fw||");
    row(fw, "CONFIG+=qtc_run UV_TARGET=None", "fw||");
    row(fw, "CONFIG+=qtc_run UV_TARGET=C51", "fw||");
    row(fw, "UV_TARGET=2", "fw||");
    row("one/one.pro", "CONFIG+=qtc_run", "one|one|.axf"); // a workspace member
}

void TestTargets::linkedProgram()
{
    // What Qt Creator's run configuration reads as it parses (qtc_run); qmake alone reads none.
    QFETCH(QString, pro);
    QFETCH(QString, args);
    QFETCH(QString, expected);
    QString whyNot;
    if (QmakeTool::program(&whyNot).isEmpty())
        QSKIP(qPrintable(whyNot));
    ProjectTree tree;
    QVERIFY(tree.add(QStringLiteral("fw/MDK-ARM/fw.uvprojx"),
                     linking("App", ".\\Objects\\", "Blinky") +
                         linking("Boot", "..\\输出 $#&apos;,\\", "闪灯 $1 #2 &quot;q&quot;") +
                         linking("Abs", "D:\\fw out\\", "abs") + linking("Here", "", "my app") +
                         linking("Lib", ".\\", "lib", "01") + linking("Both", ".\\", "both", "11") +
                         linking("None", ".\\", "none", "00") +
                         linking("C51", ".\\", "c51", "10", "MCS-51")));
    QVERIFY(tree.add(QStringLiteral("one/one.uvprojx"), linking("One", ".\\", "one")));
    QVERIFY(tree.add(QStringLiteral("WS.uvmpw"), "<PathAndName>one\\one.uvprojx</PathAndName>"));
    QVERIFY(convertProject(tree.path(QStringLiteral("fw/MDK-ARM/fw.uvprojx"))).succeeded());
    QVERIFY(convertWorkspace(tree.path(QStringLiteral("WS.uvmpw"))).succeeded());
    QByteArray evaluated;
    QString error;
    QVERIFY2(QmakeTool::evaluate(tree.path(pro), args.split(QLatin1Char(' ')), &evaluated, &error,
                                 tree.root()),
             qPrintable(error));
    const auto vars = QmakeTool::variables(evaluated);
    QStringList read;
    for (const char *name : {"TARGET", "DESTDIR", "TARGET_EXT"})
        read.append(vars.value(QLatin1String(name)).join(QLatin1Char('|')));
    QCOMPARE(read.join(QLatin1Char('|')).remove(tree.root() + QLatin1Char('/')), expected);
}

QTEST_GUILESS_MAIN(TestTargets)
#include "tst_targets.moc"
