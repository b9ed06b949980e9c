// What a conversion says about the project's files as the disk has them: files and include
// folders not there (letter case included), a generator's description missing, text in an
// encoding an editor cannot tell, how text is classified; and the .pro.shared for GBK.

#include "conversion/conversion.h"
#include "conversion/workspaceconversion.h"
#include "projecttree.h"
#include "qmake/sharedsettings.h"
#include "reading/textencoding.h"

#include <QtTest>

using namespace Corvane;

namespace {

// "中文注释" in UTF-8 and in GBK, and "für" in code page 437.
const QByteArray utf8Text = "/* \xe4\xb8\xad\xe6\x96\x87\xe6\xb3\xa8\xe9\x87\x8a */\n";
const QByteArray gbkText = "/* \xd6\xd0\xce\xc4\xd7\xa2\xca\xcd */\n";
const QByteArray dosText = "/* f\x81r */\n";

QByteArray project(const QByteArray &files, const QByteArray &includes = "Inc",
                   const QByteArray &rte = QByteArray())
{
    QByteArray out = "<TargetName>T</TargetName>\n<IncludePath>" + includes + "</IncludePath>\n";
    for (const QByteArray &file : files.split(' '))
        out += "<FilePath>" + file + "</FilePath>\n";
    return out + rte;
}

} // namespace

class TestFileCheck : public QObject
{
    Q_OBJECT

private slots:
    void encodings_data();
    void encodings();
    void notices_data();
    void notices();
    void sharedSettings();
    void letterCase_data();
    void letterCase();
};

void TestFileCheck::encodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("encoding");

    const auto row = [](const char *name, const QByteArray &bytes, TextEncoding encoding) {
        QTest::newRow(name) << bytes << int(encoding);
    };
    row("GBK Chinese, full-width punctuation", gbkText + "\xa3\xac\xa1\xa3", TextEncoding::Gbk);
    // Valid GBK, but outside GB2312's rows or, at most, half in them.
    row("Windows-1252: doesn’t", "it doesn\x92t", TextEncoding::Windows1252);
    row("Windows-1252: “as is”, –", "\x93provided as is\x94 \x96 ", TextEncoding::Windows1252);
    row("Windows-1252: informação, não", "informa\xe7\xe3o, n\xe3o", TextEncoding::Windows1252);
    // Editors read UTF-8 behind it, whatever they are told.
    row("a UTF-8 BOM before Windows-1252", "\xef\xbb\xbfit doesn\x92t", TextEncoding::Unknown);
    row("GBK Chinese, a character broken", "\xd6\xd0\xce\xc4\xd7 ", TextEncoding::Unknown);
    row("code page 437", dosText, TextEncoding::Unknown);
}

void TestFileCheck::encodings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, encoding);
    QCOMPARE(int(detectEncoding(bytes)), encoding);
}

void TestFileCheck::notices_data()
{
    QTest::addColumn<QByteArray>("project"); // fw/fw.uvprojx
    QTest::addColumn<QVariantMap>("disk");   // beside fw/, with their bytes
    QTest::addColumn<QStringList>("notices");
    QTest::addColumn<bool>("gbk"); // fw/fw.pro.shared written

    const QVariantMap plain{{QStringLiteral("Inc/main.h"), QByteArray("#pragma once\n")}};
    QTest::newRow("letter case, a file missing, a folder missing")
        << project("..\\User\\Led\\bsp_led.c ..\\gone.c", "..\\Inc;..\\Missing\\Inc")
        << QVariantMap{{QStringLiteral("User/led/bsp_led.c"), QByteArray()},
                       {QStringLiteral("Inc/main.h"), QByteArray()}}
        << QStringList{QStringLiteral("file ../User/Led/bsp_led.c is on disk as "
                                      "../User/led/bsp_led.c, which is used"),
                       QStringLiteral("file ../gone.c is not on disk"),
                       QStringLiteral("include folder ../Missing/Inc is not on disk")}
        << false;
    QTest::newRow("generator description missing")
        << project("..\\a.c", "..\\Inc",
                   "<RTE><gpdscs><gpdsc name=\"..\\Cube\\FrameworkCubeMX.gpdsc\"/></gpdscs></RTE>")
        << QVariantMap{{QStringLiteral("a.c"), QByteArray()},
                       {QStringLiteral("Inc/"), QByteArray()}}
        << QStringList{QStringLiteral("generator description ../Cube/FrameworkCubeMX.gpdsc is "
                                      "not on disk; the folders of its components are left out "
                                      "(target \"T\")")}
        << false;
    QTest::newRow("more GBK than UTF-8, one none of them, a header in an include folder")
        << project("..\\main.c ..\\utf8.c ..\\dos.c ..\\plain.c", "..\\Inc")
        << QVariantMap{{QStringLiteral("main.c"), gbkText},
                       {QStringLiteral("utf8.c"), utf8Text},
                       {QStringLiteral("dos.c"), dosText},
                       {QStringLiteral("plain.c"), QByteArray("int x;\n")},
                       {QStringLiteral("Inc/gbk.h"), gbkText}}
        << QStringList{QStringLiteral("file ../dos.c is neither UTF-8, GBK nor Windows-1252 text")}
        << true;
    QTest::newRow("as many UTF-8 as GBK: no settings")
        << project("..\\main.c ..\\utf8.c", "..\\Inc")
        << QVariantMap{{QStringLiteral("main.c"), gbkText},
                       {QStringLiteral("utf8.c"), utf8Text},
                       {QStringLiteral("Inc/"), QByteArray()}}
        << QStringList() << false;
    // The sample ends inside a GBK character: that is no fault of the file.
    QTest::newRow("a character cut at 64 KiB")
        << project("..\\big.c", "..\\Inc")
        << QVariantMap{{QStringLiteral("big.c"),
                        QByteArray(gbkText + QByteArray(64 * 1024 - gbkText.size() - 1, 'x') +
                                   "\xd6\xd0\n")},
                       {QStringLiteral("Inc/"), QByteArray()}}
        << QStringList() << true;
    QByteArray many;
    QStringList said;
    for (int i = 0; i < 25; ++i) {
        many += (i ? " ..\\m" : "..\\m") + QByteArray::number(i) + ".c";
        if (i < 20)
            said.append(QStringLiteral("file ../m%1.c is not on disk").arg(i));
    }
    said.append(QStringLiteral("and 5 more files are not on disk"));
    QTest::newRow("the first 20, then how many more")
        << project(many + " ..\\m0.c", "..\\Inc")
        << QVariantMap{{QStringLiteral("Inc/"), QByteArray()}} << said << false;
}

void TestFileCheck::notices()
{
    QFETCH(QByteArray, project);
    QFETCH(QVariantMap, disk);
    QFETCH(QStringList, notices);
    QFETCH(bool, gbk);

    ProjectTree tree;
    QVERIFY(tree.add(QStringLiteral("fw/fw.uvprojx"), project));
    for (auto it = disk.cbegin(); it != disk.cend(); ++it)
        QVERIFY(tree.add(it.key(), it.value().toByteArray()));
    const ConversionResult result = convertProject(tree.path(QStringLiteral("fw/fw.uvprojx")));
    QVERIFY(result.succeeded());
    if (!caseSensitiveFileSystem(tree.root()))
        notices = notices.filter(QRegularExpression(QStringLiteral("^(?!.* is on disk as )")));
    QCOMPARE(noticeTexts(result.notices), notices);
    QCOMPARE(tree.read(QStringLiteral("fw/fw.pro.shared")),
             gbk ? Corvane::sharedSettings("GBK") : QByteArray());
}

void TestFileCheck::sharedSettings()
{
    ProjectTree tree;
    QVERIFY(tree.add(QStringLiteral("fw/fw.uvprojx"), project("main.c", QByteArray())));
    QVERIFY(tree.add(QStringLiteral("fw/main.c"), gbkText));
    const QString projectPath = tree.path(QStringLiteral("fw/fw.uvprojx"));
    QVERIFY(convertProject(projectPath).succeeded());
    QCOMPARE(tree.read(QStringLiteral("fw/fw.pro.shared")), Corvane::sharedSettings("GBK"));

    // Saved as UTF-8 since: Corvane's own file goes again.
    QVERIFY(tree.add(QStringLiteral("fw/main.c"), utf8Text));
    QVERIFY(convertProject(projectPath).succeeded());
    QVERIFY(!QFileInfo::exists(tree.path(QStringLiteral("fw/fw.pro.shared"))));

    // Someone else's settings are never touched, GBK or not.
    const QByteArray theirs = "<qtcreator><!-- the team's --></qtcreator>\n";
    QVERIFY(tree.add(QStringLiteral("fw/fw.pro.shared"), theirs));
    QVERIFY(convertProject(projectPath).succeeded());
    QVERIFY(tree.add(QStringLiteral("fw/main.c"), gbkText));
    const ConversionResult result = convertProject(projectPath);
    QCOMPARE(tree.read(QStringLiteral("fw/fw.pro.shared")), theirs);
    QCOMPARE(noticeTexts(result.notices),
             QStringList{QStringLiteral("the sources are GBK, but fw.pro.shared was not written by "
                                        "Corvane and stays as it is; choose GBK as the project's "
                                        "text encoding in Qt Creator")});
}

void TestFileCheck::letterCase_data()
{
    QTest::addColumn<QStringList>("disk");
    QTest::addColumn<QByteArray>("project"); // the member fw/fw.uvprojx of WS.uvmpw
    QTest::addColumn<QByteArray>("member");  // as the workspace names it
    QTest::addColumn<QStringList>("lines");  // of the member's .pro
    QTest::addColumn<QStringList>("notices");

    const QByteArray fw = "fw\\fw.uvprojx";
    QTest::newRow("a file: the disk's name in the .pro")
        << QStringList{"Src/main.c"} << project("..\\src\\Main.c", "") << fw
        << QStringList{"\t../Src/main.c \\"}
        << QStringList{"fw: file ../src/Main.c is on disk as ../Src/main.c, which is used"};
    QTest::newRow("an include folder: its headers listed from the disk's folder")
        << QStringList{"Inc/Main.h"} << project("a.c", "..\\inc") << fw
        << QStringList{"\t../Inc", "\t../Inc/Main.h \\"}
        << QStringList{"fw: include folder ../inc is on disk as ../Inc, which is used",
                       "fw: file a.c is not on disk"};
    QTest::newRow("a folder on the way: the file below it as it is")
        << QStringList{"Src/main.c"} << project("..\\SRC\\main.c", "") << fw
        << QStringList{"\t../Src/main.c \\"}
        << QStringList{"fw: file ../SRC/main.c is on disk as ../Src/main.c, which is used"};
    QTest::newRow("below a folder that is not there: nothing to spell")
        << QStringList{"Src/main.c"} << project("..\\Lib\\x\\main.c", "..\\Lib\\inc;..\\src") << fw
        << QStringList{"\t../Lib/inc \\ ", "\t../Src", "\t../Lib/x/main.c \\"}
        << QStringList{"fw: include folder ../src is on disk as ../Src, which is used",
                       "fw: file ../Lib/x/main.c is not on disk",
                       "fw: include folder ../Lib/inc is not on disk"};
    QTest::newRow("several match: nothing changes")
        << QStringList{"Src/main.c", "SRC/main.c"} << project("..\\src\\main.c", "") << fw
        << QStringList{"\t../src/main.c \\"}
        << QStringList{"fw: file ../src/main.c is not on disk"};
    QTest::newRow("a workspace's member")
        << QStringList{"fw/Main.c"} << project("main.c", "") << QByteArray("FW\\FW.uvprojx")
        << QStringList{"\tMain.c \\"}
        << QStringList{"fw: file main.c is on disk as Main.c, which is used",
                       "ws: member FW/FW.uvprojx is on disk as fw/fw.uvprojx, which is used"};
}

// Names spelt as Windows forgives, held against a disk that tells letter case apart.
void TestFileCheck::letterCase()
{
    QFETCH(QStringList, disk);
    QFETCH(QByteArray, project);
    QFETCH(QByteArray, member);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, notices);

    ProjectTree tree;
    if (!caseSensitiveFileSystem(tree.root()))
        QSKIP("letter case does not count on this disk");
    QVERIFY(tree.addAll(disk));
    QVERIFY(tree.add(QStringLiteral("fw/fw.uvprojx"), project));
    QVERIFY(tree.add(QStringLiteral("WS.uvmpw"),
                     "<project><PathAndName>" + member + "</PathAndName></project>\n"));
    const WorkspaceResult result = convertWorkspace(tree.path(QStringLiteral("WS.uvmpw")));
    QVERIFY(result.succeeded() && result.members.size() == 1);
    QStringList told = noticeTexts(result.members.first().result.notices)
                           .replaceInStrings(QRegularExpression("^"), "fw: ");
    told += noticeTexts(result.notices).replaceInStrings(QRegularExpression("^"), "ws: ");
    QCOMPARE(told, notices);
    const QList<QByteArray> pro = tree.read(QStringLiteral("fw/fw.pro")).split('\n');
    for (const QString &line : qAsConst(lines))
        QVERIFY2(pro.contains(line.toUtf8() + '\r'), qPrintable(line));
}

QTEST_GUILESS_MAIN(TestFileCheck)
#include "tst_filecheck.moc"
