// Converts every real project of the shared corpus and reads the result back with qmake.
// The expected lists come from reading each project as XML, independently of the
// converter's own line scanner.

#include "conversion/conversion.h"
#include "qmaketool.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <algorithm>

using namespace Corvane;

namespace {

QString packRootDir()
{
    const QString fromEnv = qEnvironmentVariable("CORVANE_PACKS");
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QStringLiteral(CORVANE_SOURCE_DIR "/../shared/packs");
}

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
    bool packId = false;
    QStringList files;        // the sources the target builds
    QStringList groupHeaders; // headers in its groups (FileType 5)
    QStringList distFiles;    // files it leaves out, documents, objects, libraries
    QStringList defines;
    QStringList includeEntries; // every non-empty entry of every IncludePath, in order
    QList<QStringList> includeLists;
    // What uVision adds from the RTE section.
    QStringList rteDefines;
    QStringList rteFolders;
    QStringList rteSources;
    QStringList rteHeaders;
};

// The targets a <targetInfos> element names, leaving out those marked excluded.
QStringList readTargetInfos(QXmlStreamReader &xml)
{
    QStringList names;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("targetInfo") &&
            xml.attributes().value(QLatin1String("excluded")) != QLatin1String("1"))
            names.append(xml.attributes().value(QLatin1String("name")).toString());
        xml.skipCurrentElement();
    }
    return names;
}

QList<TargetFacts> readProject(const QString &path)
{
    QList<TargetFacts> targets;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return targets;
    struct Instance
    {
        QString path;
        QString category;
        QStringList targets;
    };
    QList<QStringList> components; // the targets of each selected component
    QList<Instance> instances;
    // The files of the groups: FileType, path, and whether the group or the file's own
    // options leave it out of its target's build.
    struct GroupFile
    {
        QString type;
        QString path;
        bool leftOut = false;
    };
    QList<QList<GroupFile>> groupFiles; // per target
    QString fileType;
    bool groupLeftOut = false;
    QXmlStreamReader xml(&file);
    QStringList open;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && !open.isEmpty())
            open.removeLast();
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QString name = xml.name().toString();
        const QString parent = open.isEmpty() ? QString() : open.last();
        const bool inRte = open.contains(QLatin1String("RTE"));
        if (inRte && name == QLatin1String("component") && parent == QLatin1String("components")) {
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("targetInfos"))
                    components.append(readTargetInfos(xml));
                else
                    xml.skipCurrentElement();
            }
            continue;
        }
        if (inRte && name == QLatin1String("file") && parent == QLatin1String("files")) {
            Instance instance;
            instance.category = xml.attributes().value(QLatin1String("category")).toString();
            bool removed = false;
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("targetInfos")) {
                    instance.targets = readTargetInfos(xml);
                } else if (xml.name() == QLatin1String("instance")) {
                    removed =
                        xml.attributes().value(QLatin1String("removed")) == QLatin1String("1");
                    instance.path = xml.readElementText().trimmed().replace(QLatin1Char('\\'),
                                                                            QLatin1Char('/'));
                } else {
                    xml.skipCurrentElement();
                }
            }
            if (!removed)
                instances.append(instance);
            continue;
        }
        if (name == QLatin1String("Group"))
            groupLeftOut = false;
        if (name == QLatin1String("FileType")) {
            fileType = xml.readElementText().trimmed();
            continue;
        }
        if (name == QLatin1String("IncludeInBuild") && open.size() >= 2 &&
            open.last() == QLatin1String("CommonProperty")) {
            const bool leftOut = xml.readElementText().trimmed() == QLatin1String("0");
            const QString options = open.at(open.size() - 2);
            if (options == QLatin1String("GroupOption"))
                groupLeftOut = leftOut;
            else if (options == QLatin1String("FileOption") && !groupFiles.isEmpty() &&
                     !groupFiles.last().isEmpty())
                groupFiles.last().last().leftOut = groupFiles.last().last().leftOut || leftOut;
            continue;
        }
        if (name != QLatin1String("FilePath") && name != QLatin1String("Define") &&
            name != QLatin1String("IncludePath") && name != QLatin1String("TargetName") &&
            name != QLatin1String("PackID")) {
            open.append(name);
            continue;
        }
        // The target's own C settings: not an assembler's or a linker's, not a group's or a
        // file's.
        static const QStringList others = {
            QStringLiteral("Aads"), QStringLiteral("Ax51"),        QStringLiteral("LDads"),
            QStringLiteral("Lx51"), QStringLiteral("GroupArmAds"), QStringLiteral("FileArmAds")};
        const bool targetC = std::none_of(open.cbegin(), open.cend(), [](const QString &element) {
            return others.contains(element);
        });
        const QString text = xml.readElementText().trimmed();
        if (text.isEmpty() ||
            (name != QLatin1String("FilePath") && name != QLatin1String("TargetName") &&
             name != QLatin1String("PackID") && !targetC))
            continue;
        if (name == QLatin1String("TargetName")) {
            targets.append(TargetFacts());
            targets.last().name = text;
            groupFiles.append(QList<GroupFile>());
            continue;
        }
        if (targets.isEmpty()) {
            targets.append(TargetFacts());
            groupFiles.append(QList<GroupFile>());
        }
        TargetFacts &facts = targets.last();
        if (name == QLatin1String("PackID")) {
            facts.packId = true;
        } else if (name == QLatin1String("FilePath")) {
            GroupFile groupFile;
            groupFile.type = fileType;
            groupFile.path = QString(text).replace(QLatin1Char('\\'), QLatin1Char('/'));
            groupFile.leftOut = groupLeftOut;
            groupFiles.last().append(groupFile);
            fileType.clear();
        } else if (name == QLatin1String("Define")) {
            const QStringList defines = text.split(QRegularExpression(QStringLiteral("[,\\s]+")));
            for (const QString &define : defines) {
                const QString item = QString(define).replace(QLatin1Char('\\'), QLatin1Char('/'));
                // Each once, as the .pro lists them.
                if (!item.isEmpty() && !facts.defines.contains(item))
                    facts.defines.append(item);
            }
        } else {
            QStringList list;
            const QStringList entries = text.split(QLatin1Char(';'));
            for (QString entry : entries) {
                entry = entry.trimmed().replace(QLatin1Char('\\'), QLatin1Char('/'));
                if (!entry.isEmpty() && !facts.includeEntries.contains(entry) &&
                    !list.contains(entry))
                    list.append(entry);
            }
            facts.includeEntries += list;
            facts.includeLists.append(list);
        }
    }
    // uVision's own, without packs: RTE/_<Target> and _RTE_ for targets with components
    // (the folder alone for other targets of a device pack, where it exists), and the files
    // the components copied into the project.
    const QRegularExpression headerName(QStringLiteral("\\.(h|hh|hpp|hxx|h\\+\\+)$"),
                                        QRegularExpression::CaseInsensitiveOption);
    for (int i = 0; i < targets.size(); ++i) {
        for (const GroupFile &f : qAsConst(groupFiles[i])) {
            if (f.leftOut || f.type == QLatin1String("3") || f.type == QLatin1String("4") ||
                (f.type == QLatin1String("5") && !headerName.match(f.path).hasMatch()))
                targets[i].distFiles.append(f.path);
            else if (f.type == QLatin1String("5"))
                targets[i].groupHeaders.append(f.path);
            else
                targets[i].files.append(f.path);
        }
    }
    const QString projectDir = QFileInfo(path).absolutePath();
    for (TargetFacts &facts : targets) {
        const QString rteFolder = QStringLiteral("RTE/_") +
                                  QString(facts.name).replace(QLatin1Char(' '), QLatin1Char('_'));
        bool selected = false;
        for (const QStringList &componentTargets : qAsConst(components))
            selected = selected || componentTargets.contains(facts.name);
        if (selected) {
            facts.rteDefines.append(QStringLiteral("_RTE_"));
            facts.rteFolders.append(rteFolder);
        } else if (facts.packId && QFileInfo(projectDir + QLatin1Char('/') + rteFolder).isDir()) {
            facts.rteFolders.append(rteFolder);
        }
        for (const Instance &instance : qAsConst(instances)) {
            if (!instance.targets.contains(facts.name))
                continue;
            const QString folder = QFileInfo(instance.path).path();
            if (!facts.rteFolders.contains(folder))
                facts.rteFolders.append(folder);
            if (instance.category == QLatin1String("header"))
                facts.rteHeaders.append(instance.path);
            else
                facts.rteSources.append(instance.path);
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
            result.append(entry + (entry.endsWith(QLatin1Char('/')) ? "" : "/") + info.fileName());
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
    void packs_data();
    void packs();
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
        expectedHeaders += facts.rteHeaders + facts.groupHeaders;
        for (const QString &folder : facts.rteFolders)
            expectedHeaders += headersOf(projectDir, folder);
        QStringList headers = vars.value(QStringLiteral("HEADERS"));
        // The RTE block lists a header once, even when an include folder of the project
        // holds it too.
        headers.removeDuplicates();
        expectedHeaders.removeDuplicates();
        headers.sort();
        expectedHeaders.sort();
        QVERIFY2(vars.value(QStringLiteral("SOURCES")) == facts.files + facts.rteSources,
                 qPrintable(where));
        QStringList distFiles = vars.value(QStringLiteral("DISTFILES"));
        QStringList expectedDistFiles = facts.distFiles;
        distFiles.sort();
        expectedDistFiles.sort();
        QVERIFY2(distFiles == expectedDistFiles, qPrintable(where));
        // ST's StdPeriph template: the F429 has FMC, not FSMC, and leaves that driver out.
        if (facts.name == QLatin1String("STM32F429_439xx"))
            QVERIFY(
                !vars.value(QStringLiteral("SOURCES")).join(' ').contains(QLatin1String("fsmc")));
        QVERIFY2(vars.value(QStringLiteral("INCLUDEPATH")) ==
                     facts.includeEntries + facts.rteFolders,
                 qPrintable(where));
        QVERIFY2(vars.value(QStringLiteral("DEFINES")) == facts.defines + facts.rteDefines,
                 qPrintable(where));
        QVERIFY2(headers == expectedHeaders, qPrintable(where));
        // Without a pack root, a target without components and RTE folder gets nothing.
        if (targets.size() == 1 && facts.rteFolders.isEmpty())
            QVERIFY(!proBytes.contains("# Added by uVision for this target: "));
    }
}

void TestCorpus::packs_data()
{
    QTest::addColumn<QString>("caseName");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QStringList>("defines"); // what uVision adds: _RTE_, the device's define
    QTest::addColumn<QStringList>("folders"); // the pack folders, below the pack root

    const QString core4 = QStringLiteral("ARM/CMSIS/4.5.0/CMSIS/Include");
    const QString core5 = QStringLiteral("ARM/CMSIS/5.9.0/CMSIS/Core/Include");
    const QString core6 = QStringLiteral("ARM/CMSIS/6.1.0/CMSIS/Core/Include");
    const QString rte = QStringLiteral("_RTE_");
    // The device pack the project asks for, or the newest installed one with the device and
    // (preferably) its header; the CMSIS Core the project selected, or MDK's own (the newest
    // before 6: 5.9.0).
    QTest::newRow("cubemx_hal_f103_usb")
        << QStringLiteral("cubemx_hal_f103_usb") << QStringLiteral("Project")
        << QStringList{rte, QStringLiteral("STM32F10X_MD")} << QStringList{core4};
    QTest::newRow("cubemx_ll_space_in_path")
        << QStringLiteral("cubemx_ll_space_in_path") << QStringLiteral("Project")
        << QStringList{rte, QStringLiteral("STM32F10X_MD")} << QStringList{core4};
    QTest::newRow("embedfire_fullwidth_path")
        << QStringLiteral("embedfire_fullwidth_path") << QStringLiteral("Led")
        << QStringList{QStringLiteral("STM32F10X_HD")} << QStringList{core5};
    QTest::newRow("embedfire_ucos3_rtos")
        << QStringLiteral("embedfire_ucos3_rtos") << QStringLiteral("F103")
        << QStringList{QStringLiteral("STM32F10X_HD")} << QStringList{core5};
    QTest::newRow("artery_at32f421_template")
        << QStringLiteral("artery_at32f421_template") << QStringLiteral("template")
        << QStringList{QStringLiteral("AT32F421C8T7")}
        << QStringList{QStringLiteral("ArteryTek/AT32F421_DFP/2.0.5/Device/Include"), core5};
    QTest::newRow("puya_py32f072_template")
        << QStringLiteral("puya_py32f072_template") << QStringLiteral("Project") << QStringList{rte}
        << QStringList{core5, QStringLiteral(
                                  "Puya/PY32F0xx_DFP/1.2.2/Drivers/CMSIS/Device/PY32F0xx/Include")};
    for (const char *target : {"GD32F30X_CL", "GD32F30X_XD", "GD32F30X_HD"})
        QTest::newRow(target) << QStringLiteral("gd32f30x_template_3targets")
                              << QString::fromLatin1(target) << QStringList{rte}
                              << QStringList{core5};
    const QString f4 =
        QStringLiteral("Keil/STM32F4xx_DFP/2.11.0/Drivers/CMSIS/Device/ST/STM32F4xx/Include");
    const QList<QPair<const char *, const char *>> stdperiph = {{"STM32F429_439xx", "STM32F439xx"},
                                                                {"STM32F427_437xx", "STM32F437xx"},
                                                                {"STM32F40_41xxx", "STM32F417xx"},
                                                                {"STM32F401xx", "STM32F401xC"},
                                                                {"STM32F411xE", "STM32F411xE"}};
    for (const auto &t : stdperiph)
        QTest::newRow(t.first) << QStringLiteral("st_stdperiph_f4_uvproj_5targets")
                               << QString::fromLatin1(t.first)
                               << QStringList{QString::fromLatin1(t.second)}
                               << QStringList{f4, core5};
    QTest::newRow("nordic_nrf52_long_includepath")
        << QStringLiteral("nordic_nrf52_long_includepath") << QStringLiteral("nrf52832_xxaa")
        << QStringList{rte} << QStringList{core4};
}

void TestCorpus::packs()
{
    QFETCH(QString, caseName);
    QFETCH(QString, target);
    QFETCH(QStringList, defines);
    QFETCH(QStringList, folders);
    const QString caseDir = corpusDir() + QLatin1Char('/') + caseName;
    const QString packRoot = QDir(packRootDir()).absolutePath();
    if (!QFileInfo(caseDir).isDir() || !QFileInfo(packRoot).isDir())
        QSKIP("the project corpus or the pack root (../shared) is not present");
    QString whyNot;
    if (QmakeTool::program(&whyNot).isEmpty())
        QSKIP(qPrintable(whyNot));

    QTemporaryDir temp;
    const QString root = temp.filePath(QStringLiteral("a/b/c/d/e/f/g/h/case"));
    QVERIFY(copyTree(caseDir, root));
    QDirIterator it(root, {QStringLiteral("*.uvprojx"), QStringLiteral("*.uvproj")}, QDir::Files,
                    QDirIterator::Subdirectories);
    QVERIFY(it.hasNext());
    const QString project = it.next();
    ConversionOptions options;
    options.packRoot = packRoot;
    const ConversionResult result = convertProject(project, options);
    QVERIFY(result.succeeded());

    const QString wrapper = QFileInfo(project).absolutePath() + QStringLiteral("/target.pro");
    QFile file(wrapper);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("UV_TARGET = \"" + target.toUtf8() + "\"\ninclude(\"" + result.outputPath.toUtf8() +
               "\")\n");
    file.close();
    QByteArray evaluated;
    QString error;
    QVERIFY2(QmakeTool::evaluate(wrapper, {}, &evaluated, &error), qPrintable(error));
    const QHash<QString, QStringList> vars = QmakeTool::variables(evaluated);

    // The project's own defines come first; what uVision adds closes the list.
    const QStringList allDefines = vars.value(QStringLiteral("DEFINES"));
    QCOMPARE(allDefines.mid(allDefines.size() - defines.size()), defines);
    QStringList fromPacks;
    for (const QString &folder : vars.value(QStringLiteral("INCLUDEPATH"))) {
        if (folder.startsWith(packRoot + QLatin1Char('/')))
            fromPacks.append(folder.mid(packRoot.size() + 1));
    }
    QCOMPARE(fromPacks, folders);
    if (defines.contains(QStringLiteral("_RTE_")))
        QVERIFY(vars.value(QStringLiteral("INCLUDEPATH"))
                    .contains(QStringLiteral("RTE/_") +
                              QString(target).replace(QLatin1Char(' '), QLatin1Char('_'))));
}

QTEST_GUILESS_MAIN(TestCorpus)
#include "tst_corpus.moc"
