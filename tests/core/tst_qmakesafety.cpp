// A converted project from an untrusted source must not run anything when qmake or an IDE
// reads it: hostile text in every element and in header names on disk reaches qmake as
// literal text, and qmake reads back exactly what the project and the disk hold.

#include "conversion/conversion.h"
#include "projecttree.h"
#include "qmaketool.h"

#include <QtTest>

using namespace Corvane;

class TestQmakeSafety : public QObject
{
    Q_OBJECT

private slots:
    void hostileValues_data();
    void hostileValues();
};

void TestQmakeSafety::hostileValues_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("command") << QStringLiteral("$$system(touch pwned)");
    QTest::newRow("command in braces") << QStringLiteral("$${system(touch pwned)}");
    QTest::newRow("environment") << QStringLiteral("$$(HOME)$(PATH)");
    QTest::newRow("property") << QStringLiteral("$$[QT_INSTALL_BINS]");
    QTest::newRow("comment") << QStringLiteral("C#x");
    QTest::newRow("GUID folder") << QStringLiteral("{8B2F-11D0}");
    QTest::newRow("lone braces") << QStringLiteral("a}b{c");
    QTest::newRow("quotes") << QStringLiteral("it's \"q");
    QTest::newRow("blanks and command") << QStringLiteral("My Dir $$system(touch pwned)");
    QTest::newRow("everything") << QStringLiteral("x$$system(touch pwned)#y{z}'\"w");
    QTest::newRow("escapes") << QStringLiteral("\\$$system(touch pwned)\\\"");
}

void TestQmakeSafety::hostileValues()
{
    QFETCH(QString, text);
    QString whyNot;
    if (QmakeTool::program(&whyNot).isEmpty())
        QSKIP(qPrintable(whyNot));

    // The same text in every element, and as the name of a header and of a folder on disk.
    // Backslashes in project values are separators and become '/'.
    const QString slashed = QString(text).replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString dir = QStringLiteral("Inc") + QString(text).remove(QLatin1Char('\\'));
    const QString header = text + QStringLiteral(".h");
    const QString source = QStringLiteral("src/main") + text + QStringLiteral(".c");
    QString xmlText = text;
    xmlText.replace(QLatin1Char('&'), QLatin1String("&amp;"));
    const QByteArray project =
        "<Project>\n"
        "  <Device>" +
        xmlText.toUtf8() +
        "</Device>\n"
        "  <Define>SAFE," +
        QString(xmlText).remove(QLatin1Char(',')).toUtf8() +
        "</Define>\n"
        "  <IncludePath>..\\Inc;..\\" +
        dir.toUtf8() +
        "</IncludePath>\n"
        "  <FilePath>" +
        QString(source).replace(QLatin1Char('/'), QLatin1Char('\\')).toUtf8() +
        "</FilePath>\n"
        "</Project>\n";

    ProjectTree tree;
    QVERIFY(tree.add(QStringLiteral("MDK-ARM/fw.uvprojx"), project));
    QVERIFY(tree.add(QStringLiteral("Inc/") + header));
    QVERIFY(tree.add(dir + QStringLiteral("/plain.h")));
    ConversionOptions options;
    options.timestamp = QDateTime(QDate(2024, 1, 2), QTime(3, 4));
    const ConversionResult result =
        convertProject(tree.path(QStringLiteral("MDK-ARM/fw.uvprojx")), options);
    QVERIFY(result.succeeded());

    QByteArray evaluated;
    QString error;
    QVERIFY2(QmakeTool::evaluate(result.outputPath, {}, &evaluated, &error, tree.root()),
             qPrintable(error));
    // $$system() runs in the folder of the .pro, or wherever qmake was started.
    for (const QString &file : tree.entries())
        QVERIFY2(!file.endsWith(QLatin1String("pwned")), "qmake ran a command");
    const QHash<QString, QStringList> vars = QmakeTool::variables(evaluated);

    const QString entry = QStringLiteral("../") + dir;
    QCOMPARE(vars.value(QStringLiteral("SOURCES")),
             QStringList{QString(source).replace(QLatin1Char('\\'), QLatin1Char('/'))});
    QCOMPARE(vars.value(QStringLiteral("INCLUDEPATH")).mid(0, 2),
             (QStringList{QStringLiteral("../Inc"), entry}));
    QCOMPARE(vars.value(QStringLiteral("HEADERS")),
             (QStringList{entry + QStringLiteral("/plain.h"), QStringLiteral("../Inc/") + header}));
    // Define items are split on ',' and on blanks outside double quotes; pairs of double
    // quotes group, as they always have.
    if (!text.contains(QLatin1Char(' ')) && !text.contains(QLatin1Char('"')))
        QCOMPARE(vars.value(QStringLiteral("DEFINES")).mid(0, 2),
                 (QStringList{QStringLiteral("SAFE"), QString(slashed).remove(QLatin1Char(','))}));
    else
        QCOMPARE(vars.value(QStringLiteral("DEFINES")).first(), QStringLiteral("SAFE"));
}

QTEST_GUILESS_MAIN(TestQmakeSafety)
#include "tst_qmakesafety.moc"
