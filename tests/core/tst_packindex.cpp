// The index of a pack root never changes what a conversion gives: a project that names its
// device but no pack is converted once to fill the index, the root or the index changes,
// and the next conversion must give what one without an index gives, notices included.

#include "conversion/projectconverter.h"
#include "projecttree.h"

#include <QBuffer>
#include <QtTest>

using namespace Corvane;

namespace {

// A version of a device family pack, its define naming the version.
QByteArray dfp(const char *version, const QByteArray &device = "AC100")
{
    return "<package><vendor>Acme</vendor><name>AC1_DFP</name><devices><family Dfamily=\"A\" "
           "Dvendor=\"Acme:99\"><compile header=\"Include/ac1.h\" define=\"V" +
           QByteArray(version) + "\"/><device Dname=\"" + device +
           "\"/></family></devices></package>";
}

QString pdsc(const char *version)
{
    return QStringLiteral("packs/Acme/AC1_DFP/%1/Acme.AC1_DFP.pdsc").arg(QLatin1String(version));
}

// The .pro and the notices.
QByteArray convert(const ProjectTree &tree, const QString &index)
{
    QByteArray project = "<Project><Targets><Target><TargetName>A</TargetName><Device>AC100"
                         "</Device><RegisterFile>$$Device:AC100$Include\\ac1.h</RegisterFile>"
                         "</Target></Targets></Project>\n";
    ProjectConverter converter(tree.root(), QDateTime(QDate(2024, 1, 2), QTime(3, 4)));
    converter.setPackRoot(tree.path(QStringLiteral("packs")));
    converter.setPackIndex(tree.path(index));
    QByteArray pro;
    QBuffer input(&project);
    QBuffer output(&pro);
    input.open(QIODevice::ReadOnly);
    output.open(QIODevice::WriteOnly);
    converter.convert(input, output);
    return pro + noticeTexts(converter.notices()).join(QLatin1Char('\n')).toUtf8();
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
    // Nothing tells this change: nothing but the index is read.
    QTest::newRow("changed long after") << QStringLiteral("same size and time") << false;
}

void TestPackIndex::sameOutput()
{
    QFETCH(QString, change);
    QFETCH(bool, asWithout);

    ProjectTree tree;
    const QDateTime past = QDateTime::currentDateTime().addSecs(-3600);
    const QString v2 = tree.path(pdsc("2.0.0"));
    QVERIFY(tree.add(pdsc("1.0.0"), dfp("1")) && setModified(tree.path(pdsc("1.0.0")), past));
    QVERIFY(tree.add(pdsc("2.0.0"), dfp("2")) && setModified(v2, past));
    QVERIFY(tree.addAll({QStringLiteral("packs/Acme/AC1_DFP/1.0.0/Include/ac1.h"),
                         QStringLiteral("packs/Acme/AC1_DFP/2.0.0/Include/ac1.h"),
                         QStringLiteral("packs/Acme/AC1_DFP/3.0.0/Include/ac1.h"),
                         QStringLiteral("file")}));
    // Indexed as soon as it was written, it is not trusted.
    if (change.startsWith(QLatin1String("changed just after")))
        QVERIFY(setModified(v2, QDateTime::currentDateTime()));

    const QString index = change == QLatin1String("index unwritable")
                              ? QStringLiteral("file/packs.index")
                              : QStringLiteral("cache/packs.index");
    QCOMPARE(convert(tree, index), convert(tree, QStringLiteral("fresh/1")));
    QCOMPARE(QFileInfo::exists(tree.path(index)), change != QLatin1String("index unwritable"));

    const QByteArray stored = tree.read(index);
    const int at = stored.indexOf("AC100") + 3; // in 2.0.0's devices, indexed first
    QFile description(v2);
    if (change == QLatin1String("description added")) {
        QVERIFY(tree.add(pdsc("3.0.0"), dfp("3")) && setModified(tree.path(pdsc("3.0.0")), past));
    } else if (change == QLatin1String("changed: same size, newer time")) {
        QVERIFY(tree.add(pdsc("2.0.0"), dfp("2", "AC10X")) && setModified(v2, past.addSecs(60)));
    } else if (change.endsWith(QLatin1String("same size and time"))) {
        const QDateTime time = QFileInfo(v2).lastModified();
        QVERIFY(tree.add(pdsc("2.0.0"), dfp("2", "AC10X")) && setModified(v2, time));
    } else if (change == QLatin1String("description removed")) {
        QVERIFY(description.remove());
    } else if (change == QLatin1String("description made unreadable")) {
        QVERIFY(description.setPermissions(QFileDevice::WriteOwner));
        if (description.open(QIODevice::ReadOnly))
            QSKIP("this user reads any file");
    } else if (change == QLatin1String("index corrupt")) {
        QVERIFY(at > 2 && tree.add(index, QByteArray(stored).replace(at, 1, "X")));
    } else if (change == QLatin1String("index truncated")) {
        QVERIFY(at > 2 && tree.add(index, stored.left(at)));
    }

    const QByteArray without = convert(tree, QStringLiteral("fresh/2"));
    QVERIFY(without.contains("/AC1_DFP/")); // a device pack was found
    if (asWithout)
        QCOMPARE(convert(tree, index), without);
    else
        QVERIFY(convert(tree, index) != without);
}

QTEST_GUILESS_MAIN(TestPackIndex)
#include "tst_packindex.moc"
