// The project as one reading finds it: each target's values in project order, values before
// the first target in an unnamed one of their own, the same model and .pro from a device that
// cannot seek, and a .pro that qmake reads whatever the lines held.

#include "conversion/projectconverter.h"
#include "model/projectreader.h"
#include "projecttree.h"
#include "qmaketool.h"

#include <QBuffer>
#include <QtTest>

using namespace Corvane;

namespace {

// A device that gives its bytes once, in order, and cannot go back: a pipe.
class OneWayDevice : public QIODevice
{
public:
    explicit OneWayDevice(const QByteArray &bytes) : m_bytes(bytes) {}
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 size) override
    {
        size = qMin(size, qint64(m_bytes.size() - m_at));
        std::copy_n(m_bytes.constData() + m_at, size, data);
        m_at += int(size);
        return size;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    int m_at = 0;
};

// "name: kind:text ..." per target; kinds D device, F define, I include, S/H/X a file going
// to SOURCES, HEADERS or DISTFILES.
QString dump(const Project &project)
{
    QStringList targets;
    for (const Target &target : project.targets) {
        QString line = target.name + QLatin1Char(':');
        for (const TargetValue &value : target.values) {
            if (value.kind == TargetValue::Group)
                continue;
            static const char kinds[] = "DFI";
            static const char lists[] = "SHX";
            line += QLatin1Char(' ') +
                    QLatin1Char(value.kind == TargetValue::File ? lists[int(value.list)]
                                                                : kinds[int(value.kind)]) +
                    QLatin1Char(':') + value.text;
        }
        targets.append(line);
    }
    return targets.join(QLatin1Char('\n'));
}

QByteArray convert(QIODevice &input, const QString &dir, Project *project)
{
    QByteArray pro;
    QBuffer output(&pro);
    ProjectConverter converter(dir, QDateTime(QDate(2024, 3, 1), QTime(9, 5)));
    if (!input.open(QIODevice::ReadOnly) || !output.open(QIODevice::WriteOnly) ||
        converter.convert(input, output) != ConversionStatus::Converted)
        return QByteArray();
    *project = converter.project();
    return pro;
}

} // namespace

class TestModel : public QObject
{
    Q_OBJECT

private slots:
    void reading_data();
    void reading();
};

void TestModel::reading_data()
{
    QTest::addColumn<QByteArray>("project");
    QTest::addColumn<QString>("model");

    QTest::newRow("values in project order, a device repeated")
        << QByteArray("<TargetName>A</TargetName>\n<Device>M4</Device>\n<Define>X,Y</Define>\n"
                      "<FilePath>a.c</FilePath>\n<IncludePath>inc</IncludePath>\n"
                      "<FileType>5</FileType>\n<FilePath>a.h</FilePath>\n<Device>M4</Device>\n")
        << QStringLiteral("A: D:M4 F:X,Y S:a.c I:inc H:a.h D:M4");
    QTest::newRow("entities and blanks in values of sixteen bytes or more")
        << QByteArray("<TargetName>A</TargetName>\n<Define>B=1&amp;2,SIXTEEN_BYTES_ON</Define>\n"
                      "<IncludePath>../with blanks/a_folder_named</IncludePath>\n")
        << QStringLiteral("A: F:B=1&2,SIXTEEN_BYTES_ON I:../with blanks/a_folder_named");
    QTest::newRow("values before the first target")
        << QByteArray("<Define>PRE</Define>\n<FilePath>..\\pre.c</FilePath>\n"
                      "<TargetName>A</TargetName>\n<FilePath>a.c</FilePath>\n"
                      "<TargetName>B</TargetName>\n<IncludePath>inc</IncludePath>\n")
        << QStringLiteral(": F:PRE S:../pre.c\nA: S:a.c\nB: I:inc");
    QTest::newRow("a file left out after its own define")
        << QByteArray("<TargetName>A</TargetName>\n<GroupName>G</GroupName>\n"
                      "<FilePath>a.c</FilePath>\n<Define>FILE</Define>\n"
                      "<IncludeInBuild>0</IncludeInBuild>\n<FilePath>b.c</FilePath>\n")
        << QStringLiteral("A: X:a.c F:FILE S:b.c");
    // A value ending in '>' is found where every line is tokenized, as in the RTE section:
    // these targets have names there and nowhere else.
    QTest::newRow("target names only inside the RTE section")
        << QByteArray("<FilePath>a.c</FilePath>\n<RTE>\n<components>\n"
                      "<TargetName>Debug></TargetName>\n<TargetName>Release></TargetName>\n"
                      "</components>\n</RTE>\n")
        << QStringLiteral(": S:a.c\nDebug>:\nRelease>:");

    // Chunks of lines cross block boundaries, lines far longer than a block among them.
    QByteArray large;
    QStringList targets;
    for (int t = 0; t < 40; ++t) {
        const QByteArray name = "T" + QByteArray::number(t);
        large += "    <TargetName>" + name + "</TargetName>\r\n      <IncludePath>" +
                 QByteArray(30000 + t, 'i') + "</IncludePath>\r\n";
        QString line = QString::fromLatin1(name) + QStringLiteral(": I:") +
                       QString(30000 + t, QLatin1Char('i'));
        for (int f = 0; f < 200; ++f) {
            const QByteArray file = "src\\" + name + "_" + QByteArray::number(f) + ".c";
            large += "      <FilePath>" + file + "</FilePath>\r\n";
            line += QStringLiteral(" S:") +
                    QString::fromLatin1(file).replace(QLatin1Char('\\'), QLatin1Char('/'));
        }
        targets.append(line);
    }
    QTest::newRow("1.5 MB of targets") << large << targets.join(QLatin1Char('\n'));
}

void TestModel::reading()
{
    QFETCH(QByteArray, project);
    QFETCH(QString, model);

    ProjectTree tree;
    QVERIFY(tree.isValid());
    QBuffer seekable(&project);
    OneWayDevice oneWay(project);
    Project fromSeekable;
    Project fromOneWay;
    const QByteArray pro = convert(seekable, tree.root(), &fromSeekable);
    QVERIFY(!pro.isEmpty());
    QCOMPARE(dump(fromSeekable), model);
    QCOMPARE(convert(oneWay, tree.root(), &fromOneWay), pro);
    QCOMPARE(dump(fromOneWay), model);

    QString whyNot;
    if (QmakeTool::program(&whyNot).isEmpty())
        QSKIP(qPrintable(whyNot));
    QVERIFY(tree.add(QStringLiteral("fw.pro"), pro));
    QByteArray out;
    QString error;
    QVERIFY2(QmakeTool::evaluate(tree.path(QStringLiteral("fw.pro")), {}, &out, &error),
             qPrintable(error));
}

QTEST_GUILESS_MAIN(TestModel)
#include "tst_model.moc"
