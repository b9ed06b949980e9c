// Where uVision is installed and where it keeps its packs: TOOLS.INI as uVision writes it, and
// the order in which pack roots are taken. Runs on every platform; the registry part is
// checked by tools/windows-check under Wine.

#include "projecttree.h"
#include "reading/toolsini.h"
#include "reading/uvisioninstallation.h"

#include <QHash>
#include <QtTest>

using namespace Corvane;

namespace {

// GBK for the characters the cases use. The machine running the test need not have GBK as
// its code page, nor a codec for it (Qt 6 has none in QtCore, the Windows build no ICU).
QString gbk(const QByteArray &bytes)
{
    static const QHash<QByteArray, QString> table = {
        {QByteArray("\xD0\xBE"), QString::fromUtf8("芯")},
        {QByteArray("\xC6\xAC"), QString::fromUtf8("片")},
        {QByteArray("\xB0\xFC"), QString::fromUtf8("包")},
        // Its second byte is '\\'.
        {QByteArray("\x9C\x5C"), QString::fromUtf8("淺")},
    };
    QString text;
    for (int i = 0; i < bytes.size(); ++i) {
        if (uchar(bytes.at(i)) < 0x80) {
            text += QLatin1Char(bytes.at(i));
            continue;
        }
        text += table.value(bytes.mid(i, 2), QStringLiteral("<?>"));
        ++i;
    }
    return text;
}

// A pack folder with Chinese characters as a Chinese Windows writes it.
const QByteArray gbkPath = "D:\\\xD0\xBE\xC6\xAC\xB0\xFC\\\x9C\x5C\\Packs";

} // namespace

class TestInstallation : public QObject
{
    Q_OBJECT

private slots:
    void toolsIniValue_data();
    void toolsIniValue();
    void toolsIniPackFolder_data();
    void toolsIniPackFolder();
    void keilRoot_data();
    void keilRoot();
    void packRootOrder_data();
    void packRootOrder();
};

void TestInstallation::toolsIniValue_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("value"); // null: no value

    const QString packs = QStringLiteral("D:\\Keil_v5\\ARM\\PACK");
    QTest::newRow("as uVision writes it")
        << QByteArray("[UV2]\r\nORGANIZATION=\"Acme\"\r\nRTEPATH=\"D:\\Keil_v5\\ARM\\PACK\"\r\n"
                      "[ARMADS]\r\nPATH=\"D:\\Keil_v5\\ARM\\\"\r\n")
        << packs;
    QTest::newRow("no quotes, blanks around =, LF, no last line end")
        << QByteArray("[UV2]\n  RTEPATH \t=  D:\\Keil_v5\\ARM\\PACK  ") << packs;
    QTest::newRow("other sections and longer names with the key; the first entry counts")
        << QByteArray(
               "[ARM]\r\nRTEPATH=C:\\wrong\r\n[UV2X]\r\nRTEPATH=C:\\wrong\r\n[UV2]\r\n"
               "RTEPATH2=C:\\wrong\r\nRTEPATH=D:\\Keil_v5\\ARM\\PACK\r\nRTEPATH=C:\\wrong\r\n"
               "[C51]\r\nRTEPATH=C:\\wrong\r\n")
        << packs;
    QTest::newRow("only another section has it")
        << QByteArray("RTEPATH=C:\\wrong\r\n[UV2]\r\nX=1\r\n[ARM]\r\nRTEPATH=C:\\wrong\r\n")
        << QString();
    QTest::newRow("names in another letter case")
        << QByteArray("[ uv2 ]\r\nRtePath=D:\\Keil_v5\\ARM\\PACK\r\n") << packs;
    QTest::newRow("empty value") << QByteArray("[UV2]\r\nRTEPATH=\"\"\r\n") << QStringLiteral("");
    QTest::newRow("GBK, the ANSI code page of a Chinese Windows")
        << QByteArray("[UV2]\r\nRTEPATH=\"" + gbkPath + "\"\r\n")
        << QString::fromUtf8("D:\\芯片包\\淺\\Packs");
    // The decoder would turn these bytes into "<?>": UTF-8 does not go through it.
    QTest::newRow("UTF-8 after a byte order mark")
        << QByteArray(
               "\xEF\xBB\xBF[UV2]\r\nRTEPATH=\"D:\\\xE8\x8A\xAF\xE7\x89\x87\xE5\x8C\x85\"\r\n")
        << QString::fromUtf8("D:\\芯片包");
}

void TestInstallation::toolsIniValue()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, value);
    const QString read =
        Corvane::toolsIniValue(ini, QLatin1String("UV2"), QLatin1String("RTEPATH"), gbk);
    QCOMPARE(read, value);
    QCOMPARE(read.isNull(), value.isNull());
}

void TestInstallation::toolsIniPackFolder_data()
{
    QTest::addColumn<QByteArray>("ini"); // "<folder>" makes TOOLS.INI a folder, null no file
    QTest::addColumn<QString>("folder"); // "@" stands for the installation root

    QTest::newRow("absolute, trailing backslash")
        << QByteArray("[UV2]\r\nRTEPATH=\"E:\\Arm Packs\\\"\r\n") << QStringLiteral("E:/Arm Packs");
    QTest::newRow("relative, with dots")
        << QByteArray("[UV2]\r\nRTEPATH=\".\\ARM\\..\\..\\Packs\"\r\n")
        << QStringLiteral("@/../Packs");
    QTest::newRow("GBK, relative") << QByteArray("[UV2]\r\nRTEPATH=\xD0\xBE\xC6\xAC\xB0\xFC\r\n")
                                   << QString::fromUtf8("@/芯片包");
    QTest::newRow("no RTEPATH") << QByteArray("[UV2]\r\nORGANIZATION=Acme\r\n") << QString();
    QTest::newRow("no TOOLS.INI") << QByteArray() << QString();
    QTest::newRow("unreadable TOOLS.INI") << QByteArray("<folder>") << QString();
}

void TestInstallation::toolsIniPackFolder()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, folder);
    ProjectTree tree;
    QVERIFY(tree.add(QStringLiteral("Keil v5/UV4/")));
    if (ini == "<folder>")
        QVERIFY(tree.add(QStringLiteral("Keil v5/TOOLS.INI/")));
    else if (!ini.isNull())
        QVERIFY(tree.add(QStringLiteral("Keil v5/TOOLS.INI"), ini));
    const QString root = tree.path(QStringLiteral("Keil v5"));
    const QString expected =
        folder.startsWith(QLatin1Char('@')) ? QDir::cleanPath(root + folder.mid(1)) : folder;
    QCOMPARE(Corvane::toolsIniPackFolder(root, gbk), expected);
}

void TestInstallation::keilRoot_data()
{
    QTest::addColumn<QString>("registered"); // "@" stands for the tree
    QTest::addColumn<QString>("root");

    QTest::newRow("as the installer writes it")
        << QStringLiteral("@\\Keil v5\\ARM") << QStringLiteral("@/Keil v5");
    QTest::newRow("trailing separator")
        << QStringLiteral("@/Keil v5/C51/") << QStringLiteral("@/Keil v5");
    QTest::newRow("folder gone") << QStringLiteral("@/Keil v5/C251") << QString();
}

void TestInstallation::keilRoot()
{
    QFETCH(QString, registered);
    QFETCH(QString, root);
    ProjectTree tree;
    QVERIFY(tree.addAll({QStringLiteral("Keil v5/ARM/"), QStringLiteral("Keil v5/C51/")}));
    const QString base = tree.root();
    QCOMPARE(keilRootOf(registered.replace(
                 QLatin1Char('@'), QString(base).replace(QLatin1Char('/'), QLatin1Char('\\')))),
             root.replace(QLatin1Char('@'), base));
}

void TestInstallation::packRootOrder_data()
{
    QTest::addColumn<QString>("rtePath");     // RTEPATH in TOOLS.INI; null: no TOOLS.INI
    QTest::addColumn<QStringList>("folders"); // what exists besides the installation's ARM
    QTest::addColumn<bool>("installed");      // whether there is an MDK installation
    QTest::addColumn<QString>("path");        // "@" stands for the tree
    QTest::addColumn<QString>("origin");      // "@" stands for the tree, native separators

    const QString rte = QStringLiteral("..\\Packs 包");
    const QString local = QStringLiteral("Local/Arm/Packs/");
    const QString keil = QStringLiteral("Keil/ARM/PACK/");
    const QStringList all = {QStringLiteral("Packs 包/"), local, keil};
    const QString fromIni = QStringLiteral("RTEPATH in @/Keil/TOOLS.INI");
    const QString fromLocal = QStringLiteral("%LOCALAPPDATA%\\Arm\\Packs");
    const QString fromMdk = QStringLiteral("MDK in @/Keil");

    QTest::newRow("RTEPATH before the others")
        << rte << all << true << QStringLiteral("@/Packs 包") << fromIni;
    QTest::newRow("RTEPATH names no folder: LOCALAPPDATA")
        << rte << QStringList{local, keil} << true << QStringLiteral("@/Local/Arm/Packs")
        << fromLocal;
    QTest::newRow("then the installation's PACK")
        << rte << QStringList{keil} << true << QStringLiteral("@/Keil/ARM/PACK") << fromMdk;
    QTest::newRow("none there: what RTEPATH names")
        << rte << QStringList() << true << QStringLiteral("@/Packs 包") << fromIni;
    QTest::newRow("no installation") << QString() << QStringList{keil} << false
                                     << QStringLiteral("@/Local/Arm/Packs") << fromLocal;
}

void TestInstallation::packRootOrder()
{
    QFETCH(QString, rtePath);
    QFETCH(QStringList, folders);
    QFETCH(bool, installed);
    QFETCH(QString, path);
    QFETCH(QString, origin);

    ProjectTree tree;
    QVERIFY(tree.add(QStringLiteral("Keil/ARM/")));
    QVERIFY(tree.addAll(folders));
    if (!rtePath.isNull())
        QVERIFY(tree.add(QStringLiteral("Keil/TOOLS.INI"),
                         "[UV2]\r\nRTEPATH=\"" + rtePath.toUtf8() + "\"\r\n"));
    const QString base = tree.root();
    const PackRoot chosen =
        windowsPackRoot(installed ? tree.path(QStringLiteral("Keil")) : QString(),
                        tree.path(QStringLiteral("Local")));
    QCOMPARE(chosen.path, path.replace(QLatin1Char('@'), base));
    QCOMPARE(chosen.origin,
             origin.replace(QLatin1Char('@'), base).replace(QLatin1Char('/'), QDir::separator()));
}

QTEST_GUILESS_MAIN(TestInstallation)
#include "tst_installation.moc"
