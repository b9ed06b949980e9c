// The index of a pack root never changes what a conversion gives: a project that names its
// devices but no pack is converted once to fill the index, the root or the index changes,
// and the next conversion must equal one without an index, .pro and notices alike.

#include "projectconverter.h"
#include "projecttree.h"

#include <QBuffer>
#include <QtTest>

using namespace Corvane;

namespace {

// A device family pack whose define names its version; Dname and header as given.
QByteArray dfp(const QByteArray &version, const QByteArray &device = "AC100")
{
    return "<package><vendor>Acme</vendor><name>AC1_DFP</name><devices>"
           "<family Dfamily=\"AC1\" Dvendor=\"Acme:99\"><processor Dcore=\"Cortex-M4\"/>"
           "<compile header=\"Include/ac1.h\" define=\"V" +
           version + "\"/><device Dname=\"" + device + "\"/></family></devices></package>";
}

// Two legacy targets, one per family; B's pack makes the root more than one family.
const QByteArray project = "<Project><Targets>"
                           "<Target><TargetName>A</TargetName><Device>AC100</Device>"
                           "<RegisterFile>$$Device:AC100$Include\\ac1.h</RegisterFile></Target>"
                           "<Target><TargetName>B</TargetName><Device>BX7</Device>"
                           "<RegisterFile>$$Device:BX7$Include\\ac1.h</RegisterFile></Target>"
                           "</Targets></Project>\n";

const QString v2 = QStringLiteral("packs/Acme/AC1_DFP/2.0.0/Acme.AC1_DFP.pdsc");

struct Conversion
{
    QByteArray pro;
    QStringList notices;
};

Conversion convert(const ProjectTree &tree, const QString &index)
{
    ProjectConverter converter(tree.path(QStringLiteral("fw")),
                               QDateTime(QDate(2024, 1, 2), QTime(3, 4)));
    converter.setPackRoot(tree.path(QStringLiteral("packs")));
    converter.setPackIndex(index);
    QByteArray text = project;
    QBuffer input(&text);
    Conversion result;
    QBuffer output(&result.pro);
    input.open(QIODevice::ReadOnly);
    output.open(QIODevice::WriteOnly);
    converter.convert(input, output);
    result.notices = converter.notices();
    return result;
}

bool setModified(const QString &path, const QDateTime &time)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) &&
           file.setFileTime(time, QFileDevice::FileModificationTime);
}

} // namespace

class TestPackIndex : public QObject
{
    Q_OBJECT

private slots:
    void sameOutput_data();
    void sameOutput();
};

void TestPackIndex::sameOutput_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("asWithout"); // else the index's answer stands

    for (const char *change :
         {"none", "description added", "changed: same size, newer time", "description removed",
          "description made unreadable", "changed just after it was indexed, same size and time",
          "index corrupt", "index truncated", "index unwritable"})
        QTest::newRow(change) << QString::fromLatin1(change) << true;
    // Nothing tells this change, and nothing else is read.
    QTest::newRow("changed long after it was indexed, same size and time")
        << QStringLiteral("changed long after it was indexed, same size and time") << false;
}

void TestPackIndex::sameOutput()
{
    QFETCH(QString, change);
    QFETCH(bool, asWithout);

    ProjectTree tree;
    const QDateTime past = QDateTime::currentDateTime().addSecs(-3600);
    QVERIFY(tree.add(QStringLiteral("packs/Acme/AC1_DFP/1.0.0/Acme.AC1_DFP.pdsc"), dfp("1")));
    QVERIFY(tree.add(v2, dfp("2")));
    QVERIFY(tree.add(QStringLiteral("packs/Beta/BX_DFP/1.0.0/Beta.BX_DFP.pdsc"), dfp("B", "BX7")));
    for (const QString &pack :
         {QStringLiteral("Acme/AC1_DFP/1.0.0"), QStringLiteral("Acme/AC1_DFP/2.0.0"),
          QStringLiteral("Acme/AC1_DFP/3.0.0"), QStringLiteral("Beta/BX_DFP/1.0.0")})
        QVERIFY(tree.add(QStringLiteral("packs/") + pack + QStringLiteral("/Include/ac1.h")));
    for (const QString &pdsc : tree.entries()) {
        if (pdsc.endsWith(QLatin1String(".pdsc")))
            QVERIFY(setModified(tree.path(pdsc), past));
    }
    // Settled only later: indexed, it is not trusted.
    if (change.startsWith(QLatin1String("changed just after")))
        QVERIFY(setModified(tree.path(v2), QDateTime::currentDateTime()));

    QVERIFY(tree.add(QStringLiteral("not-a-folder"), "file"));
    const QString index = tree.path(change == QLatin1String("index unwritable")
                                        ? QStringLiteral("not-a-folder/packs.index")
                                        : QStringLiteral("cache/packs.index"));
    const Conversion first = convert(tree, index);
    QCOMPARE(first.pro, convert(tree, tree.path(QStringLiteral("fresh/1"))).pro);
    QCOMPARE(QFileInfo::exists(index), change != QLatin1String("index unwritable"));

    const QByteArray stored = tree.readFile(index);
    const int device = stored.indexOf("AC100");
    QFile pdsc(tree.path(v2));
    if (change == QLatin1String("description added")) {
        QVERIFY(tree.add(QStringLiteral("packs/Acme/AC1_DFP/3.0.0/Acme.AC1_DFP.pdsc"), dfp("3")));
        QVERIFY(setModified(tree.path(QStringLiteral("packs/Acme/AC1_DFP/3.0.0/Acme.AC1_DFP.pdsc")),
                            past));
    } else if (change == QLatin1String("changed: same size, newer time")) {
        QVERIFY(tree.add(v2, dfp("2", "AC10X")));
        QVERIFY(setModified(tree.path(v2), past.addSecs(60)));
    } else if (change.contains(QLatin1String("same size and time"))) {
        const QDateTime time = QFileInfo(tree.path(v2)).lastModified();
        QVERIFY(tree.add(v2, dfp("2", "AC10X")));
        QVERIFY(setModified(tree.path(v2), time));
    } else if (change == QLatin1String("description removed")) {
        QVERIFY(pdsc.remove());
    } else if (change == QLatin1String("description made unreadable")) {
        QVERIFY(pdsc.setPermissions(QFileDevice::WriteOwner));
        if (pdsc.open(QIODevice::ReadOnly))
            QSKIP("this user reads any file");
    } else if (change == QLatin1String("index corrupt")) {
        QVERIFY(device > 0);
        QVERIFY(tree.add(QStringLiteral("cache/packs.index"),
                         QByteArray(stored).replace(device + 3, 1, "X")));
    } else if (change == QLatin1String("index truncated")) {
        QVERIFY(device > 0);
        QVERIFY(tree.add(QStringLiteral("cache/packs.index"), stored.left(device + 3)));
    }

    const Conversion withIndex = convert(tree, index);
    const Conversion without = convert(tree, tree.path(QStringLiteral("fresh/2")));
    QVERIFY(without.pro.contains("/AC1_DFP/")); // a device pack was found
    if (!asWithout) {
        QVERIFY(withIndex.pro != without.pro);
        return;
    }
    QCOMPARE(withIndex.pro, without.pro);
    QCOMPARE(withIndex.notices, without.notices);
}

QTEST_GUILESS_MAIN(TestPackIndex)
#include "tst_packindex.moc"
