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

struct ProjectFacts
{
    QStringList files;
    QStringList defines;
    QStringList includeEntries; // every non-empty entry of every IncludePath, in order
};

ProjectFacts readProject(const QString &path)
{
    ProjectFacts facts;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return facts;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString name = xml.name().toString();
        if (name != QLatin1String("FilePath") && name != QLatin1String("Define") &&
            name != QLatin1String("IncludePath"))
            continue;
        const QString text = xml.readElementText().trimmed();
        if (text.isEmpty())
            continue;
        if (name == QLatin1String("FilePath")) {
            facts.files.append(QString(text).replace(QLatin1Char('\\'), QLatin1Char('/')));
        } else if (name == QLatin1String("Define")) {
            const QStringList defines = text.split(QRegularExpression(QStringLiteral("[,\\s]+")));
            for (const QString &define : defines) {
                if (!define.isEmpty())
                    facts.defines.append(define);
            }
        } else {
            const QStringList entries = text.split(QLatin1Char(';'));
            for (QString entry : entries) {
                entry = entry.trimmed().replace(QLatin1Char('\\'), QLatin1Char('/'));
                if (!entry.isEmpty())
                    facts.includeEntries.append(entry);
            }
        }
    }
    return facts;
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

    QByteArray evaluated;
    QString error;
    if (!QmakeTool::evaluate(result.outputPath, {}, &evaluated, &error,
                             QFileInfo(result.outputPath).absolutePath())) {
        QString whyNot;
        if (QmakeTool::program(&whyNot).isEmpty())
            QSKIP(qPrintable(whyNot));
        QFAIL(qPrintable(error));
    }
    const QHash<QString, QStringList> vars = QmakeTool::variables(evaluated);

    const ProjectFacts facts = readProject(project);
    const QString projectDir = QFileInfo(project).absolutePath();
    const QStringList sources = vars.value(QStringLiteral("SOURCES"));
    const QStringList headers = vars.value(QStringLiteral("HEADERS"));
    const QStringList defines = vars.value(QStringLiteral("DEFINES"));
    const QStringList includes = vars.value(QStringLiteral("INCLUDEPATH"));

    QStringList expectedHeaders;
    for (const QString &entry : facts.includeEntries) {
        QVERIFY2(includes.contains(entry), qPrintable(entry));
        expectedHeaders += headersOf(projectDir, entry);
    }
    for (const QString &header : qAsConst(expectedHeaders))
        QVERIFY2(headers.contains(header), qPrintable(header));
    QCOMPARE(headers.size(), expectedHeaders.size());

    // Every source file lands in SOURCES, and only there: a project header listed as a
    // source file may also be found in an include directory, nothing else may.
    QCOMPARE(sources.size(), facts.files.size());
    for (const QString &file : facts.files) {
        QVERIFY2(sources.contains(file), qPrintable(file));
        if (!expectedHeaders.contains(file))
            QVERIFY2(!headers.contains(file), qPrintable(file));
    }
    for (const QString &define : facts.defines)
        QVERIFY2(defines.contains(define), qPrintable(define));
}

QTEST_GUILESS_MAIN(TestCorpus)
#include "tst_corpus.moc"
