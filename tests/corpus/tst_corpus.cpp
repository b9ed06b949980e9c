// Converts every real project of the shared corpus and reads the result back with qmake.
// The expected lists come from reading each project as XML, independently of the
// converter's own line scanner.

#include "conversion.h"
#include "qmaketool.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

using namespace Corvane;

namespace {

QString corpusDir()
{
    const QString fromEnv = qEnvironmentVariable("CORVANE_CORPUS");
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QStringLiteral(CORVANE_SOURCE_DIR "/../shared/corpus");
}

bool copyTree(const QString &from, const QString &to)
{
    if (!QDir().mkpath(to))
        return false;
    QDirIterator it(from, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QString target = to + it.filePath().mid(from.size());
        if (it.fileInfo().isDir()) {
            if (!QDir().mkpath(target))
                return false;
        } else if (!QFile::copy(it.filePath(), target)) {
            return false;
        } else {
            // The corpus is read-only; the copy must not be.
            QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        }
    }
    return true;
}

// What one target holds, read as XML.
struct TargetFacts
{
    QString name;
    QStringList files;
    QStringList defines;
    QStringList includeEntries; // every non-empty entry of every IncludePath, in order
    QList<QStringList> includeLists;
};

QList<TargetFacts> readProject(const QString &path)
{
    QList<TargetFacts> targets;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return targets;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString name = xml.name().toString();
        if (name != QLatin1String("FilePath") && name != QLatin1String("Define") &&
            name != QLatin1String("IncludePath") && name != QLatin1String("TargetName"))
            continue;
        const QString text = xml.readElementText().trimmed();
        if (text.isEmpty())
            continue;
        if (name == QLatin1String("TargetName")) {
            targets.append(TargetFacts());
            targets.last().name = text;
            continue;
        }
        if (targets.isEmpty())
            targets.append(TargetFacts());
        TargetFacts &facts = targets.last();
        if (name == QLatin1String("FilePath")) {
            facts.files.append(QString(text).replace(QLatin1Char('\\'), QLatin1Char('/')));
        } else if (name == QLatin1String("Define")) {
            const QStringList defines = text.split(QRegularExpression(QStringLiteral("[,\\s]+")));
            for (const QString &define : defines) {
                if (!define.isEmpty())
                    facts.defines.append(
                        QString(define).replace(QLatin1Char('\\'), QLatin1Char('/')));
            }
        } else {
            QStringList list;
            const QStringList entries = text.split(QLatin1Char(';'));
            for (QString entry : entries) {
                entry = entry.trimmed().replace(QLatin1Char('\\'), QLatin1Char('/'));
                if (!entry.isEmpty())
                    list.append(entry);
            }
            facts.includeEntries += list;
            facts.includeLists.append(list);
        }
    }
    return targets;
}

// The project as one line, tags next to each other: what generators of compact XML write.
QByteArray compact(const QByteArray &project)
{
    QByteArray out;
    const QList<QByteArray> lines = project.split('\n');
    for (const QByteArray &line : lines)
        out += line.trimmed();
    return out + '\n';
}

// The headers directly inside an include directory, found by walking the tree.
QStringList headersOf(const QString &projectDir, const QString &entry)
{
    if (entry.startsWith(QLatin1Char('/')))
        return {};
    const QString dir = QDir::cleanPath(projectDir + QLatin1Char('/') + entry);
    QStringList result;
    const QFileInfoList infos = QDir(dir).entryInfoList(QDir::Files);
    for (const QFileInfo &info : infos) {
        if (info.suffix().compare(QLatin1String("h"), Qt::CaseInsensitive) == 0)
            result.append(entry + QLatin1Char('/') + info.fileName());
    }
    return result;
}

} // namespace

class TestCorpus : public QObject
{
    Q_OBJECT

private slots:
    void project_data();
    void project();
};

void TestCorpus::project_data()
{
    QTest::addColumn<QString>("caseDir");
    QTest::addColumn<QString>("projectFile"); // relative to the case directory

    const QDir corpus(corpusDir());
    const QStringList cases = corpus.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &caseName : cases) {
        QDirIterator it(corpus.filePath(caseName),
                        {QStringLiteral("*.uvprojx"), QStringLiteral("*.uvproj")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            const QString relative = it.filePath().mid(corpus.filePath(caseName).size() + 1);
            QTest::newRow(qPrintable(caseName)) << corpus.filePath(caseName) << relative;
        }
    }
    if (cases.isEmpty())
        QTest::newRow("no corpus") << QString() << QString();
}

void TestCorpus::project()
{
    QFETCH(QString, caseDir);
    QFETCH(QString, projectFile);
    if (caseDir.isEmpty())
        QSKIP("the project corpus (../shared/corpus or $CORVANE_CORPUS) is not present");

    // Deep enough that include directories climbing out of the case find nothing.
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString root = temp.filePath(QStringLiteral("a/b/c/d/e/f/g/h/case"));
    QVERIFY(copyTree(caseDir, root));
    const QString project = root + QLatin1Char('/') + projectFile;
    const QByteArray projectBytes = [&] {
        QFile f(project);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();

    // Windows checkouts have CRLF; both must give the same file.
    ConversionOptions options;
    options.timestamp = QDateTime(QDate(2025, 1, 2), QTime(3, 4));
    const ConversionResult result = convertProject(project, options);
    QCOMPARE(result.message(), statusMessage(ConversionStatus::Converted));
    QFile pro(result.outputPath);
    QVERIFY(pro.open(QIODevice::ReadOnly));
    const QByteArray proBytes = pro.readAll();
    pro.close();
    {
        QFile crlf(project);
        QVERIFY(crlf.open(QIODevice::WriteOnly));
        crlf.write(QByteArray(projectBytes).replace("\n", "\r\n"));
    }
    QVERIFY(convertProject(project, options).succeeded());
    QVERIFY(pro.open(QIODevice::ReadOnly));
    QCOMPARE(pro.readAll(), proBytes);
    pro.close();

    // Generators that write compact XML put the whole project on one line.
    {
        QFile oneLine(project);
        QVERIFY(oneLine.open(QIODevice::WriteOnly));
        oneLine.write(compact(projectBytes));
    }
    QVERIFY(convertProject(project, options).succeeded());
    QVERIFY(pro.open(QIODevice::ReadOnly));
    QCOMPARE(pro.readAll(), proBytes);
    pro.close();

    // Each target read back on its own: the first without UV_TARGET, every target through
    // a file that sets UV_TARGET and includes the .pro, as "qmake UV_TARGET=..." does.
    const QList<TargetFacts> targets = readProject(project);
    QVERIFY(!targets.isEmpty());
    const QString projectDir = QFileInfo(project).absolutePath();
    for (int i = -1; i < targets.size(); ++i) {
        const TargetFacts &facts = targets.at(qMax(i, 0));
        QString proFile = result.outputPath;
        if (i >= 0) {
            if (targets.size() == 1)
                break;
            proFile = projectDir + QStringLiteral("/target.pro");
            QFile wrapper(proFile);
            QVERIFY(wrapper.open(QIODevice::WriteOnly));
            wrapper.write("UV_TARGET = \"" + facts.name.toUtf8() + "\"\ninclude(\"" +
                          result.outputPath.toUtf8() + "\")\n");
        }
        QByteArray evaluated;
        QString error;
        if (!QmakeTool::evaluate(proFile, {}, &evaluated, &error, projectDir)) {
            QString whyNot;
            if (QmakeTool::program(&whyNot).isEmpty())
                QSKIP(qPrintable(whyNot));
            QFAIL(qPrintable(error));
        }
        const QHash<QString, QStringList> vars = QmakeTool::variables(evaluated);
        const QString where = QStringLiteral("target ") + facts.name;
        QCOMPARE(vars.value(QStringLiteral("UV_TARGET")).value(0),
                 targets.size() > 1 ? facts.name : QString());

        QStringList expectedHeaders;
        for (const QStringList &list : facts.includeLists) {
            for (auto entry = list.crbegin(); entry != list.crend(); ++entry)
                expectedHeaders += headersOf(projectDir, *entry);
        }
        QStringList headers = vars.value(QStringLiteral("HEADERS"));
        headers.sort();
        expectedHeaders.sort();
        QVERIFY2(vars.value(QStringLiteral("SOURCES")) == facts.files, qPrintable(where));
        QVERIFY2(vars.value(QStringLiteral("INCLUDEPATH")) == facts.includeEntries,
                 qPrintable(where));
        QVERIFY2(vars.value(QStringLiteral("DEFINES")) == facts.defines, qPrintable(where));
        QVERIFY2(headers == expectedHeaders, qPrintable(where));
    }
}

QTEST_GUILESS_MAIN(TestCorpus)
#include "tst_corpus.moc"
