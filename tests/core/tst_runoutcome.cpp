// How a run ends: path checks, files that cannot be opened or written, derived names.

#include "conversion/conversion.h"
#include "conversion/projectconverter.h"
#include "projecttree.h"
#include "reading/linereader.h"

#include <QBuffer>
#include <QtTest>

using namespace Corvane;

namespace {

const QByteArray smallProject = "  <Device>STM32F103C8</Device>\n"
                                "  <FilePath>..\\Src\\main.c</FilePath>\n";

const QByteArray previousPro = "# hand-edited qmake project\r\nSOURCES += main.c\r\n";

// A device that fails part-way, as a file on a failing disk or a vanished share does.
class FailingDevice : public QIODevice
{
public:
    explicit FailingDevice(QByteArray data, qint64 failAfter)
        : m_data(std::move(data)), m_failAfter(failAfter)
    {}

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (m_pos >= m_failAfter)
            return -1;
        const qint64 n = qMin(maxSize, qMin(m_failAfter, qint64(m_data.size())) - m_pos);
        memcpy(data, m_data.constData() + m_pos, size_t(n));
        m_pos += n;
        return n;
    }
    qint64 writeData(const char *, qint64 size) override
    {
        if (m_pos + size > m_failAfter)
            return -1;
        m_pos += size;
        return size;
    }

private:
    QByteArray m_data;
    qint64 m_failAfter;
    qint64 m_pos = 0;
};

} // namespace

class TestRunOutcome : public QObject
{
    Q_OBJECT

private slots:
    void rejected_data();
    void rejected();
    void derivedNames_data();
    void derivedNames();
    void readErrorIsReported();
    void writeErrorIsReported();
    void linesAcrossBlocks_data();
    void linesAcrossBlocks();
    void messages_data();
    void messages();
};

void TestRunOutcome::rejected_data()
{
    QTest::addColumn<QStringList>("setup"); // entries to create; "name=text" gives content
    QTest::addColumn<QString>("input");     // the path typed, relative to the tree root
    QTest::addColumn<int>("status");

    const QStringList project{QStringLiteral("fw.uvprojx")};
    QTest::newRow("empty path") << project << QString() << int(ConversionStatus::EmptyPath);
    QTest::newRow("not a project path")
        << QStringList{QStringLiteral("fw.txt")} << QStringLiteral("fw.txt")
        << int(ConversionStatus::WrongPath);
    QTest::newRow("suffix check is case-sensitive")
        << QStringList{QStringLiteral("FW.UVPROJX")} << QStringLiteral("FW.UVPROJX")
        << int(ConversionStatus::WrongPath);
    QTest::newRow("output would be the project file")
        << QStringList{QStringLiteral("a.uvproj.pro")} << QStringLiteral("a.uvproj.pro")
        << int(ConversionStatus::WrongPath);
    QTest::newRow("missing project file") << QStringList() << QStringLiteral("missing.uvprojx")
                                          << int(ConversionStatus::ProjectOpenFailed);
    QTest::newRow("directory named like a project")
        << QStringList{QStringLiteral("x.uvprojx/")} << QStringLiteral("x.uvprojx")
        << int(ConversionStatus::ProjectOpenFailed);
    QTest::newRow("output path is a directory")
        << QStringList{QStringLiteral("fw.uvprojx"), QStringLiteral("fw.pro/"),
                       QStringLiteral("fw.pro/keep.txt")}
        << QStringLiteral("fw.uvprojx") << int(ConversionStatus::OutputFailed);
    QTest::newRow("read-only previous .pro")
        << QStringList{QStringLiteral("fw.uvprojx"), QStringLiteral("fw.pro=readonly")}
        << QStringLiteral("fw.uvprojx") << int(ConversionStatus::OutputFailed);
    QTest::newRow("project directory not writable")
        << QStringList{QStringLiteral("fw.uvprojx"), QStringLiteral("fw.pro"),
                       QStringLiteral("=lockdir")}
        << QStringLiteral("fw.uvprojx") << int(ConversionStatus::OutputFailed);
}

void TestRunOutcome::rejected()
{
    QFETCH(QStringList, setup);
    QFETCH(QString, input);
    QFETCH(int, status);

    ProjectTree tree;
    bool lockDir = false;
    for (const QString &entry : setup) {
        if (entry == QLatin1String("=lockdir")) {
            lockDir = true;
        } else if (entry.endsWith(QLatin1String("=readonly"))) {
            const QString name = entry.section(QLatin1Char('='), 0, 0);
            QVERIFY(tree.add(name, previousPro));
            QVERIFY(QFile::setPermissions(tree.path(name),
                                          QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        } else if (entry.endsWith(QLatin1String(".pro"))) {
            QVERIFY(tree.add(entry, previousPro));
        } else {
            QVERIFY(
                tree.add(entry, entry.endsWith(QLatin1Char('/')) ? QByteArray() : smallProject));
        }
    }
    if (lockDir) {
        // The temporary file cannot be created; as root this lock does not hold.
        QVERIFY(QFile::setPermissions(tree.root(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        QFile probe(tree.path(QStringLiteral("probe")));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            QFile::setPermissions(tree.root(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ExeOwner);
            QSKIP("running with rights that ignore directory permissions");
        }
    }
    const QStringList before = tree.entries();
    QMap<QString, QByteArray> contents;
    for (const QString &entry : before) {
        if (!entry.endsWith(QLatin1Char('/')))
            contents.insert(entry, tree.read(entry));
    }

    const ConversionResult result = convertProject(input.isEmpty() ? QString() : tree.path(input));

    if (lockDir)
        QFile::setPermissions(tree.root(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                               QFileDevice::ExeOwner);
    QCOMPARE(int(result.status), status);
    QCOMPARE(result.message(), statusMessage(ConversionStatus(status)));
    // Nothing created, nothing removed, nothing changed.
    QCOMPARE(tree.entries(), before);
    for (auto it = contents.cbegin(); it != contents.cend(); ++it)
        QCOMPARE(tree.read(it.key()), it.value());
}

void TestRunOutcome::derivedNames_data()
{
    QTest::addColumn<QString>("projectFile");
    QTest::addColumn<QString>("proFile");

    QTest::newRow("uvprojx") << QStringLiteral("MDK-ARM/fw.uvprojx")
                             << QStringLiteral("MDK-ARM/fw.pro");
    QTest::newRow("uvproj") << QStringLiteral("USER/TEST.uvproj")
                            << QStringLiteral("USER/TEST.pro");
    QTest::newRow("backup copy") << QStringLiteral("fw.uvprojx.bak")
                                 << QStringLiteral("fw.uvprojx.pro");
    QTest::newRow("repeated suffix")
        << QStringLiteral("fw.uvproj.uvproj") << QStringLiteral("fw.pro");
    QTest::newRow("name ending in a dot")
        << QStringLiteral("fw.v2.uvprojx.") << QStringLiteral("fwv2uvprojx.pro");
    QTest::newRow("suffix only in a directory name")
        << QStringLiteral("old.uvproj/notes.txt") << QStringLiteral("old.uvproj/notes.pro");
    QTest::newRow("blanks and Chinese") << QStringLiteral("4-1 OLED显示屏/Project.uvprojx")
                                        << QStringLiteral("4-1 OLED显示屏/Project.pro");
}

void TestRunOutcome::derivedNames()
{
    QFETCH(QString, projectFile);
    QFETCH(QString, proFile);

    ProjectTree tree;
    QVERIFY(tree.add(projectFile, smallProject));
    const QString expectedPath = QFileInfo(tree.path(proFile)).absolutePath() + QDir::separator() +
                                 QFileInfo(proFile).fileName();
    QCOMPARE(outputPathFor(tree.path(projectFile)), expectedPath);

    const ConversionResult result = convertProject(tree.path(projectFile));
    QCOMPARE(result.status, ConversionStatus::Converted);
    QCOMPARE(result.outputPath, expectedPath);
    QVERIFY(tree.read(proFile).contains("# Device \tSTM32F103C8\r\n"));

    // A path relative to the working directory resolves the same way.
    const QString cwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(tree.root()));
    const QString relative = outputPathFor(projectFile);
    QDir::setCurrent(cwd);
    QCOMPARE(relative, expectedPath);
}

void TestRunOutcome::readErrorIsReported()
{
    // A read error must not pass for the end of the project.
    QByteArray project;
    for (int i = 0; i < 50000; ++i)
        project.append("      <FilePath>..\\Src\\file")
            .append(QByteArray::number(i))
            .append(".c</FilePath>\n");
    FailingDevice input(project, project.size() / 2);
    QVERIFY(input.open(QIODevice::ReadOnly));
    QBuffer output;
    QVERIFY(output.open(QIODevice::WriteOnly));
    ProjectConverter converter(QDir::tempPath(), QDateTime::currentDateTime());
    QCOMPARE(converter.convert(input, output), ConversionStatus::ProjectReadFailed);
}

void TestRunOutcome::writeErrorIsReported()
{
    QByteArray project;
    for (int i = 0; i < 20000; ++i)
        project.append("      <FilePath>..\\Src\\file")
            .append(QByteArray::number(i))
            .append(".c</FilePath>\n");
    QBuffer input(&project);
    QVERIFY(input.open(QIODevice::ReadOnly));
    FailingDevice output(QByteArray(), 100000);
    QVERIFY(output.open(QIODevice::WriteOnly));
    ProjectConverter converter(QDir::tempPath(), QDateTime::currentDateTime());
    QCOMPARE(converter.convert(input, output), ConversionStatus::OutputFailed);

    // The same run fits when the device does not fail.
    QVERIFY(input.seek(0));
    QBuffer roomy;
    QVERIFY(roomy.open(QIODevice::WriteOnly));
    QCOMPARE(converter.convert(input, roomy), ConversionStatus::Converted);
    QVERIFY(roomy.data().endsWith("\t../Src/file19999.c \\\r\n\r\n\r\n\r\n"));
}

void TestRunOutcome::linesAcrossBlocks_data()
{
    QTest::addColumn<qsizetype>("maxLine");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QList<qsizetype>>("sizes");

    // Lines longer than a read block are joined whole; past the limit the input is refused
    // instead of being held in memory without end.
    const QList<qsizetype> all{1, 0, 700001, 2, 5}; // "\r" stays on the line
    QTest::newRow("whole lines") << qsizetype(1 << 20) << int(ReadOutcome::EndOfInput) << all;
    QTest::newRow("line over the limit")
        << qsizetype(600000) << int(ReadOutcome::ReadError) << QList<qsizetype>{1, 0};
}

void TestRunOutcome::linesAcrossBlocks()
{
    QFETCH(qsizetype, maxLine);
    QFETCH(int, outcome);
    QFETCH(QList<qsizetype>, sizes);

    QByteArray data = "a\n\n";
    data.append(QByteArray(700000, 'x')).append("\r\nb\r\nlast!");
    QBuffer buffer(&data);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QList<qsizetype> seen;
    const ReadOutcome result = forEachLine(
        buffer,
        [&](const char *, qsizetype size) {
            seen.append(size);
            return true;
        },
        maxLine);
    QCOMPARE(int(result), outcome);
    QCOMPARE(seen, sizes);
}

void TestRunOutcome::messages_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("converted") << int(ConversionStatus::Converted)
                               << QString::fromUtf8("工程转换成功！");
    QTest::newRow("empty") << int(ConversionStatus::EmptyPath)
                           << QString::fromUtf8("打开文件路径为空！");
    QTest::newRow("wrong") << int(ConversionStatus::WrongPath)
                           << QString::fromUtf8("打开文件路径有误！");
    QTest::newRow("open") << int(ConversionStatus::ProjectOpenFailed)
                          << QString::fromUtf8("打开工程文件失败！");
    QTest::newRow("read") << int(ConversionStatus::ProjectReadFailed)
                          << QString::fromUtf8("读取工程文件失败！");
    QTest::newRow("output") << int(ConversionStatus::OutputFailed)
                            << QString::fromUtf8("QT工程创建失败");
}

void TestRunOutcome::messages()
{
    QFETCH(int, status);
    QFETCH(QString, message);
    QCOMPARE(statusMessage(ConversionStatus(status)), message);
    // The full-width exclamation mark is U+FF01, not ASCII.
    if (message.endsWith(QChar(0xFF01)))
        QVERIFY(!message.contains(QLatin1Char('!')));
}

QTEST_GUILESS_MAIN(TestRunOutcome)
#include "tst_runoutcome.moc"
