// Bad input, through the library and through corvane-cli: whatever path or bytes the user
// gives, the run ends with one of the tool's messages in bounded time, the project file and
// everything else in its tree stay as they were, and the previous .pro is replaced only by
// a complete new one.

#include "clioutput.h"
#include "conversion/conversion.h"
#include "projecttree.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <random>
#include <thread>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Corvane;

namespace {

// 2023-11-14 22:13:20 UTC, given to the library as a time and to the CLI as
// SOURCE_DATE_EPOCH.
constexpr qint64 epoch = 1700000000;
const char bannerTime[] = "2023-11-14 22:13";

#ifdef CORVANE_SLOW_BUILD
constexpr int slowdown = 6; // sanitizers
#else
constexpr int slowdown = 1;
#endif

const QByteArray previousPro = "# kept from an earlier run\r\nSOURCES += old.c\r\n";

enum class FrontEnd { Library, Cli };

enum class Scenario {
    EmptyPath,
    NoProjectSuffix,
    MissingFile,
    DirectoryAsProject,
    OutputIsDirectory,
    OutputIsProject,
    ProLinksToProject,
    ReadOnlyPro,
    RandomBytes,
    InvalidUtf8,
    NulBytes,
    Utf16,
    LongLinePlain,
    LongLineOfElements,
    ManyIncludeEntries,
    DeepClimb,
    SymlinkedProject,
    DanglingSymlink,
    SymlinkLoop,
    Fifo,
    CharacterDevice,
};

// What a scenario built and what the run must leave.
struct Arrangement
{
    QString argument;    // the path handed to the front end
    QString proPath;     // where the .pro goes, empty when no path is formed
    QByteArray expected; // the complete .pro of a successful run
};

QByteArray pro(const QByteArray &body)
{
    return expectedBanner(QString::fromLatin1(bannerTime)) + body + "\r\n\r\n\r\n";
}

QByteArray sources(const QList<QByteArray> &paths)
{
    QByteArray out = "\r\n\r\n\r\n\r\nSOURCES += \\ \r\n";
    for (const QByteArray &path : paths)
        out.append('\t').append(path).append(" \\\r\n");
    return out;
}

QByteArray includes(const QList<QByteArray> &dirs, const QList<QByteArray> &headers)
{
    QByteArray out = "\r\nINCLUDEPATH += \\ \r\n\t";
    for (int i = 0; i < dirs.size(); ++i) {
        if (i > 0)
            out += " \\ \r\n\t";
        out += dirs.at(i);
    }
    out += "\r\n\r\n\r\n\r\nHEADERS += \\ \r\n";
    for (const QByteArray &header : headers)
        out.append('\t').append(header).append(" \\\r\n");
    return out;
}

QByteArray randomBytes(int size, std::mt19937 &random)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &c : bytes)
        c = char(random() & 0xff);
    return bytes;
}

bool makeLink(const ProjectTree &tree, const QString &target, const QString &link)
{
    return QDir().mkpath(QFileInfo(tree.path(link)).absolutePath()) &&
           QFile::link(target, tree.path(link));
}

// Builds the tree of one scenario. Every .pro a failed run must keep starts as previousPro.
bool arrange(Scenario scenario, const ProjectTree &tree, Arrangement &a)
{
    const QByteArray small = "  <Device>STM32F103C8</Device>\r\n"
                             "  <FilePath>..\\Src\\main.c</FilePath>\r\n";
    // A project file and, beside it, the .pro of an earlier run.
    auto project = [&](const QString &name, const QByteArray &content) {
        const QString pro = name.left(name.lastIndexOf(QLatin1Char('.'))) + QLatin1String(".pro");
        a.argument = tree.path(name);
        a.proPath = tree.path(pro);
        return tree.add(name, content) && tree.add(pro, previousPro);
    };

    switch (scenario) {
    case Scenario::EmptyPath:
        return tree.add(QStringLiteral("fw.uvprojx"), small) &&
               tree.add(QStringLiteral("fw.pro"), previousPro);
    case Scenario::NoProjectSuffix:
        a.argument = tree.path(QStringLiteral("fw.txt"));
        return tree.add(QStringLiteral("fw.txt"), small) &&
               tree.add(QStringLiteral("fw.pro"), previousPro);
    case Scenario::MissingFile:
        a.argument = tree.path(QStringLiteral("missing.uvprojx"));
        a.proPath = tree.path(QStringLiteral("missing.pro"));
        return tree.add(QStringLiteral("missing.pro"), previousPro);
    case Scenario::DirectoryAsProject:
        a.argument = tree.path(QStringLiteral("x.uvprojx"));
        a.proPath = tree.path(QStringLiteral("x.pro"));
        return tree.add(QStringLiteral("x.uvprojx/inner.h")) &&
               tree.add(QStringLiteral("x.pro"), previousPro);
    case Scenario::OutputIsDirectory:
        a.argument = tree.path(QStringLiteral("fw.uvprojx"));
        a.proPath = tree.path(QStringLiteral("fw.pro"));
        return tree.add(QStringLiteral("fw.uvprojx"), small) &&
               tree.add(QStringLiteral("fw.pro/keep.txt"), previousPro);
    case Scenario::OutputIsProject:
        a.argument = tree.path(QStringLiteral("a.uvproj.pro"));
        a.proPath = a.argument;
        return tree.add(QStringLiteral("a.uvproj.pro"), small);
    case Scenario::ProLinksToProject:
        a.argument = tree.path(QStringLiteral("fw.uvprojx"));
        a.proPath = tree.path(QStringLiteral("fw.pro"));
        return tree.add(QStringLiteral("fw.uvprojx"), small) &&
               makeLink(tree, QStringLiteral("fw.uvprojx"), QStringLiteral("fw.pro"));
    case Scenario::ReadOnlyPro:
        return project(QStringLiteral("fw.uvprojx"), small) &&
               QFile::setPermissions(a.proPath, QFileDevice::ReadOwner | QFileDevice::ReadGroup |
                                                    QFileDevice::ReadOther);

    case Scenario::RandomBytes: {
        // Noise around one good element: the reader must not lose track of lines.
        std::mt19937 random(20240506);
        const QByteArray noise1 = randomBytes(512 * 1024, random);
        const QByteArray noise2 = randomBytes(512 * 1024, random);
        a.expected = pro(sources({"../Src/main.c"}));
        return project(QStringLiteral("MDK-ARM/noise.uvprojx"),
                       noise1 + "\n  <FilePath>..\\Src\\main.c</FilePath>\r\n" + noise2);
    }
    case Scenario::InvalidUtf8:
        // Undecodable bytes become U+FFFD, written as UTF-8.
        a.expected = pro("# Device \tSTM\xef\xbf\xbd"
                         "32\r\n\r\n" +
                         sources({"\xef\xbf\xbd(.c", "lone\xef\xbf\xbd.c"}));
        return project(QStringLiteral("fw.uvprojx"), "<Device>STM\xff"
                                                     "32</Device>\n"
                                                     "<FilePath>\xc3(.c</FilePath>\n"
                                                     "<FilePath>lone\x80.c</FilePath>\n");
    case Scenario::NulBytes:
        // A line ends at its first NUL, as a C string would.
        a.expected = pro(sources({"x.c"}) + "\r\nDEFINES += \\ \r\n\tB\r\n\r\n");
        {
            static const char bytes[] = "<FilePath>x.c</FilePath>\0<FilePath>y.c</FilePath>\n"
                                        "<Device>ab\0cd</Device>\n"
                                        "\0<Define>A</Define>\n"
                                        "<Define>B</Define>\0junk\n"
                                        "\0\0\0\n";
            return project(QStringLiteral("fw.uvprojx"), QByteArray(bytes, sizeof(bytes) - 1));
        }
    case Scenario::Utf16: {
        // Saved as UTF-16 by an editor: every tag has NULs inside, so nothing counts.
        const QString text = QStringLiteral("<Device>STM32F103C8</Device>\r\n"
                                            "<FilePath>main.c</FilePath>\r\n");
        QByteArray bytes("\xff\xfe");
        for (const QChar c : text) {
            bytes += char(c.unicode() & 0xff);
            bytes += char(c.unicode() >> 8);
        }
        a.expected = pro(QByteArray());
        return project(QStringLiteral("fw.uvprojx"), bytes);
    }

    case Scenario::LongLinePlain:
        a.expected = pro(QByteArray());
        return project(QStringLiteral("fw.uvprojx"), QByteArray(20 * 1024 * 1024, 'x'));
    case Scenario::LongLineOfElements: {
        // Compact XML: every element on the line is a source of its own.
        const QByteArray element = "<FilePath>a.c</FilePath>";
        const int count = 20 * 1024 * 1024 / element.size() + 1;
        QList<QByteArray> each;
        for (int i = 0; i < count; ++i)
            each.append("a.c");
        a.expected = pro(sources(each));
        return project(QStringLiteral("fw.uvprojx"), element.repeated(count) + '\n');
    }
    case Scenario::ManyIncludeEntries: {
        const int count = 200000;
        QList<QByteArray> written;
        QByteArray list;
        for (int i = 0; i < count; ++i) {
            const QByteArray dir = "Lib/d" + QByteArray::number(i).rightJustified(6, '0');
            written << "../" + dir;
            // Appended piece by piece: "+=" of a concatenation reserves the exact size and so
            // copies the whole list every time.
            list.append(i ? ";..\\" : "..\\").append(QByteArray(dir).replace('/', '\\'));
        }
        // The last directory is listed first.
        a.expected = pro(
            includes(written, {"../Lib/d199999/z.h", "../Lib/d000007/a.h", "../Lib/d000007/b.h"}));
        return tree.addAll({QStringLiteral("Lib/d000007/b.h"), QStringLiteral("Lib/d000007/a.h"),
                            QStringLiteral("Lib/d199999/z.h")}) &&
               project(QStringLiteral("MDK-ARM/many.uvprojx"),
                       "<IncludePath>" + list + "</IncludePath>\r\n");
    }
    case Scenario::DeepClimb: {
        // A million "..\" steps end at the root; the rest names this tree from there.
        const QByteArray fromRoot = QFile::encodeName(tree.root()).mid(1) + "/inc";
        const QByteArray entry = QByteArray("../").repeated(1000000) + fromRoot;
        a.expected = pro(includes({entry}, {entry + "/a.h"}));
        return tree.add(QStringLiteral("inc/a.h")) &&
               project(QStringLiteral("MDK-ARM/deep.uvprojx"),
                       "<IncludePath>" + QByteArray(entry).replace('/', '\\') + "</IncludePath>\n");
    }

    case Scenario::SymlinkedProject: {
        // The link's folder is the project folder: the .pro goes there and include
        // directories resolve from there, not from the target's folder.
        a.argument = tree.path(QStringLiteral("MDK-ARM/link.uvprojx"));
        a.proPath = tree.path(QStringLiteral("MDK-ARM/link.pro"));
        a.expected = pro(includes({"../Inc"}, {"../Inc/viaLink.h"}) + sources({"main.c"}));
        return tree.add(QStringLiteral("a/b/fw.uvprojx"),
                        "<IncludePath>..\\Inc</IncludePath>\n<FilePath>main.c</FilePath>\n") &&
               tree.addAll(
                   {QStringLiteral("a/Inc/viaTarget.h"), QStringLiteral("Inc/viaLink.h")}) &&
               makeLink(tree, QStringLiteral("../a/b/fw.uvprojx"),
                        QStringLiteral("MDK-ARM/link.uvprojx")) &&
               tree.add(QStringLiteral("MDK-ARM/link.pro"), previousPro);
    }
    case Scenario::DanglingSymlink:
        a.argument = tree.path(QStringLiteral("gone.uvprojx"));
        a.proPath = tree.path(QStringLiteral("gone.pro"));
        return makeLink(tree, QStringLiteral("nowhere.uvprojx"), QStringLiteral("gone.uvprojx")) &&
               tree.add(QStringLiteral("gone.pro"), previousPro);
    case Scenario::SymlinkLoop:
        a.argument = tree.path(QStringLiteral("loop.uvprojx"));
        a.proPath = tree.path(QStringLiteral("loop.pro"));
        return makeLink(tree, QStringLiteral("loop.uvprojx"), QStringLiteral("loop.uvprojx")) &&
               tree.add(QStringLiteral("loop.pro"), previousPro);
    case Scenario::Fifo:
#ifdef Q_OS_UNIX
        a.argument = tree.path(QStringLiteral("pipe.uvprojx"));
        a.proPath = tree.path(QStringLiteral("pipe.pro"));
        return ::mkfifo(QFile::encodeName(a.argument).constData(), 0644) == 0 &&
               tree.add(QStringLiteral("pipe.pro"), previousPro);
#else
        return false;
#endif
    case Scenario::CharacterDevice:
        // /dev/null reads as empty, /dev/zero or /dev/urandom never end: none is a project.
        a.argument = tree.path(QStringLiteral("null.uvprojx"));
        a.proPath = tree.path(QStringLiteral("null.pro"));
        return QFileInfo::exists(QStringLiteral("/dev/null")) &&
               makeLink(tree, QStringLiteral("/dev/null"), QStringLiteral("null.uvprojx")) &&
               tree.add(QStringLiteral("null.pro"), previousPro);
    }
    return false;
}

// Everything in a tree, links and special files included, without following links or
// opening anything but regular files.
struct Entry
{
    QString kind;
    QString linkTarget;
    QFileDevice::Permissions permissions;
    QByteArray content;

    bool operator==(const Entry &o) const
    {
        return kind == o.kind && linkTarget == o.linkTarget && permissions == o.permissions &&
               content == o.content;
    }
};

QMap<QString, Entry> snapshot(const QString &root)
{
    QMap<QString, Entry> entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        Entry entry;
        entry.permissions = info.permissions();
        if (info.isSymLink()) {
            entry.kind = QStringLiteral("link");
            entry.linkTarget = info.symLinkTarget();
            entry.permissions = {};
        } else if (info.isDir()) {
            entry.kind = QStringLiteral("dir");
        } else if (info.isFile()) {
            entry.kind = QStringLiteral("file");
            entry.content = withoutUvisionBuild(ProjectTree::readFile(info.filePath()));
        } else {
            entry.kind = QStringLiteral("special");
        }
        entries.insert(QDir(root).relativeFilePath(info.filePath()), entry);
    }
    return entries;
}

struct Outcome
{
    bool finished = false;
    int status = -1; // ConversionStatus, or the CLI's exit code
    QString message; // the library's message, or the CLI's stderr
    QString out;     // the library's output path, or the CLI's stdout
};

// A library run that blocks in the file system (a FIFO with no writer) is released after
// the time limit by writing to the FIFO, so the test fails instead of hanging.
Outcome runLibrary(const Arrangement &a, Scenario scenario, int limitMs)
{
    std::mutex mutex;
    std::condition_variable done;
    bool returned = false;
    std::atomic<bool> released{false};
    std::thread watchdog([&] {
        std::unique_lock<std::mutex> lock(mutex);
        if (done.wait_for(lock, std::chrono::milliseconds(limitMs), [&] { return returned; }))
            return;
#ifdef Q_OS_UNIX
        if (scenario == Scenario::Fifo) {
            // Non-blocking: succeeds only while the run waits to read, so this cannot hang.
            const int fd = ::open(QFile::encodeName(a.argument).constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
            released = true;
        }
#else
        Q_UNUSED(scenario)
#endif
    });

    ConversionOptions options;
    options.timestamp = QDateTime::fromSecsSinceEpoch(epoch, Qt::UTC);
    const ConversionResult result = convertProject(a.argument, options);
    {
        std::lock_guard<std::mutex> lock(mutex);
        returned = true;
    }
    done.notify_one();
    watchdog.join();

    Outcome outcome;
    outcome.finished = !released;
    outcome.status = int(result.status);
    outcome.message = result.message();
    outcome.out = result.outputPath;
    return outcome;
}

Outcome runCli(const Arrangement &a, int limitMs)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("SOURCE_DATE_EPOCH"), QString::number(epoch));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(CORVANE_CLI), {a.argument});
    Outcome outcome;
    if (!process.waitForFinished(limitMs)) {
        process.kill();
        process.waitForFinished();
        return outcome;
    }
    outcome.finished = process.exitStatus() == QProcess::NormalExit;
    outcome.status = process.exitCode();
    outcome.message = QString::fromUtf8(process.readAllStandardError());
    outcome.out = QString::fromUtf8(process.readAllStandardOutput());
    return outcome;
}

} // namespace

Q_DECLARE_METATYPE(FrontEnd)
Q_DECLARE_METATYPE(Scenario)

class TestBadInput : public QObject
{
    Q_OBJECT

private slots:
    void badInput_data();
    void badInput();
};

void TestBadInput::badInput_data()
{
    QTest::addColumn<FrontEnd>("frontEnd");
    QTest::addColumn<Scenario>("scenario");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("seconds"); // how long a run may take, before sanitizer slowdown

    struct Row
    {
        const char *name;
        Scenario scenario;
        ConversionStatus status;
        int seconds;
    };
    const Row rows[] = {
        {"empty path", Scenario::EmptyPath, ConversionStatus::EmptyPath, 10},
        {"path without .uvproj", Scenario::NoProjectSuffix, ConversionStatus::WrongPath, 10},
        {"missing file", Scenario::MissingFile, ConversionStatus::ProjectOpenFailed, 10},
        {"directory named x.uvprojx", Scenario::DirectoryAsProject,
         ConversionStatus::ProjectOpenFailed, 10},
        {"output path is a directory", Scenario::OutputIsDirectory, ConversionStatus::OutputFailed,
         10},
        {"output path is the input (a.uvproj.pro)", Scenario::OutputIsProject,
         ConversionStatus::WrongPath, 10},
        {"previous .pro links to the project", Scenario::ProLinksToProject,
         ConversionStatus::WrongPath, 10},
        {"read-only previous .pro", Scenario::ReadOnlyPro, ConversionStatus::OutputFailed, 10},
        {"random bytes", Scenario::RandomBytes, ConversionStatus::Converted, 10},
        {"invalid UTF-8", Scenario::InvalidUtf8, ConversionStatus::Converted, 10},
        {"NUL bytes", Scenario::NulBytes, ConversionStatus::Converted, 10},
        {"UTF-16 project file", Scenario::Utf16, ConversionStatus::Converted, 10},
        {"20 MB single line", Scenario::LongLinePlain, ConversionStatus::Converted, 20},
        {"20 MB line of elements", Scenario::LongLineOfElements, ConversionStatus::Converted, 20},
        {"IncludePath with 200000 entries", Scenario::ManyIncludeEntries,
         ConversionStatus::Converted, 30},
        {"include entry climbing a million levels", Scenario::DeepClimb,
         ConversionStatus::Converted, 20},
        {"symlinked project file", Scenario::SymlinkedProject, ConversionStatus::Converted, 10},
        {"dangling symlink", Scenario::DanglingSymlink, ConversionStatus::ProjectOpenFailed, 10},
        {"symlink loop", Scenario::SymlinkLoop, ConversionStatus::ProjectOpenFailed, 10},
        {"FIFO named like a project", Scenario::Fifo, ConversionStatus::ProjectOpenFailed, 10},
        {"link to a character device", Scenario::CharacterDevice,
         ConversionStatus::ProjectOpenFailed, 10},
    };
    for (const Row &row : rows) {
        QTest::addRow("library: %s", row.name)
            << FrontEnd::Library << row.scenario << int(row.status) << row.seconds;
        QTest::addRow("cli: %s", row.name)
            << FrontEnd::Cli << row.scenario << int(row.status) << row.seconds;
    }
}

void TestBadInput::badInput()
{
    QFETCH(FrontEnd, frontEnd);
    QFETCH(Scenario, scenario);
    QFETCH(int, status);
    QFETCH(int, seconds);

#ifndef Q_OS_UNIX
    if (scenario == Scenario::Fifo || scenario == Scenario::CharacterDevice ||
        scenario == Scenario::DeepClimb)
        QSKIP("needs a Unix file system");
    if (scenario == Scenario::ProLinksToProject || scenario == Scenario::SymlinkedProject ||
        scenario == Scenario::DanglingSymlink || scenario == Scenario::SymlinkLoop)
        QSKIP("QFile::link makes .lnk shortcuts on Windows, not symbolic links");
#endif
    ProjectTree tree;
    QVERIFY(tree.isValid());
    if (scenario == Scenario::DeepClimb &&
        (!tree.root().startsWith(QLatin1Char('/')) || tree.root().contains(QLatin1Char(' '))))
        QSKIP("the temporary directory is not a plain absolute path");
    Arrangement a;
    QVERIFY2(arrange(scenario, tree, a), "cannot build the scenario's tree");
    const QMap<QString, Entry> before = snapshot(tree.root());

    const int limitMs = seconds * 1000 * slowdown;
    QElapsedTimer timer;
    timer.start();
    const Outcome outcome =
        frontEnd == FrontEnd::Library ? runLibrary(a, scenario, limitMs) : runCli(a, limitMs);
    const qint64 elapsed = timer.elapsed();
    QVERIFY2(outcome.finished, "the run hung or crashed");
    QVERIFY2(elapsed < limitMs, qPrintable(QStringLiteral("took %1 ms").arg(elapsed)));

    const bool converted = status == int(ConversionStatus::Converted);
    const QString message = statusMessage(ConversionStatus(status));
    if (frontEnd == FrontEnd::Library) {
        QCOMPARE(outcome.status, status);
        QCOMPARE(outcome.message, message);
        // The library joins folder and name with the platform's separator.
        QCOMPARE(QDir::fromNativeSeparators(outcome.out), a.proPath);
    } else {
        QCOMPARE(outcome.status, converted ? 0 : 1);
        QCOMPARE(outcome.out, converted ? CliOutput::pathLine(a.proPath) : QString());
        if (converted) {
            // A conversion says only what the .pro lacks: files of the project not on disk.
            const QStringList lines = outcome.message.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            for (const QString &line : lines)
                QVERIFY2(line.startsWith(a.argument + QStringLiteral(": file ")) ||
                             line.startsWith(a.argument + QStringLiteral(": include folder ")) ||
                             line.startsWith(a.argument + QStringLiteral(": and ")),
                         qPrintable(line));
        } else {
            QCOMPARE(outcome.message, CliOutput::line(a.argument + QStringLiteral(": ") + message));
        }
    }

    // The tree is as it was, except for a successful run's .pro.
    QMap<QString, Entry> expected = before;
    if (converted) {
        const QString pro = QDir(tree.root()).relativeFilePath(a.proPath);
        Entry &entry = expected[pro];
        const QFileInfo written(a.proPath);
        entry.kind = QStringLiteral("file");
        entry.content = a.expected;
        entry.permissions = written.permissions();
    }
    const QMap<QString, Entry> after = snapshot(tree.root());
    QCOMPARE(after.keys(), expected.keys());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const Entry &now = after.value(it.key());
        QVERIFY2(now.kind == it->kind && now.linkTarget == it->linkTarget &&
                     now.permissions == it->permissions,
                 qPrintable(it.key() + QStringLiteral(" changed its kind, link or permissions")));
        if (now.content != it->content) {
            // QCOMPARE shows where the bytes part.
            QCOMPARE(now.content.left(4096), it->content.left(4096));
            QCOMPARE(now.content.size(), it->content.size());
            QFAIL(qPrintable(it.key() + QStringLiteral(" differs")));
        }
    }
}

QTEST_GUILESS_MAIN(TestBadInput)
#include "tst_badinput.moc"
