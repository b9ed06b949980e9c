// A full disk: the project lives on a small tmpfs mounted for the test, the .pro does not
// fit. The run must say "QT工程创建失败", keep the previous .pro and leave no temporary file.
// Mounting needs root (CAP_SYS_ADMIN) on Linux; elsewhere the test skips.

#include "conversion/conversion.h"
#include "conversion/workspaceconversion.h"
#include "projecttree.h"
#include "qmake/sharedsettings.h"

#include <QProcess>
#include <QtTest>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#endif

using namespace Corvane;

namespace {

constexpr qint64 epoch = 1700000000;
const char bannerTime[] = "2023-11-14 22:13";
const QByteArray previousPro = "# kept from an earlier run\r\nSOURCES += old.c\r\n";

// Enough long header names that the .pro is far larger than the project file.
constexpr int headerCount = 2000;

enum class FrontEnd { Library, Cli };
enum class Fill {
    Nothing,      // the output fits
    AllSpace,     // not one more block
    AllButLittle, // some room, not enough for the .pro
    AllInodes,    // room, but no file can be created
};

#ifdef Q_OS_LINUX
QString headerName(int i)
{
    return QStringLiteral("peripheral_register_definitions_%1.h").arg(i, 4, 10, QLatin1Char('0'));
}

// A tmpfs for the length of one test row.
class TmpfsMount
{
public:
    bool mount(const QString &dir, const char *options)
    {
        m_dir = QFile::encodeName(dir);
        if (::mount("tmpfs", m_dir.constData(), "tmpfs", MS_NOSUID | MS_NODEV, options) != 0) {
            m_error = errno;
            m_dir.clear();
            return false;
        }
        return true;
    }
    int error() const { return m_error; }
    ~TmpfsMount()
    {
        if (!m_dir.isEmpty())
            ::umount2(m_dir.constData(), MNT_DETACH);
    }

private:
    QByteArray m_dir;
    int m_error = 0;
};

qint64 freeBytes(const QString &dir)
{
    struct statvfs fs;
    if (::statvfs(QFile::encodeName(dir).constData(), &fs) != 0)
        return -1;
    return qint64(fs.f_bavail) * qint64(fs.f_frsize);
}

bool writeFiller(const QString &path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray block(64 * 1024, '\0');
    while (size > 0) {
        const qint64 n = qMin<qint64>(size, block.size());
        if (file.write(block.constData(), n) != n)
            return false;
        size -= n;
    }
    return file.flush();
}

// Takes every free inode with empty files.
bool exhaustInodes(const QString &dir)
{
    for (int i = 0; i < 100000; ++i) {
        QFile file(dir + QStringLiteral("/inode%1").arg(i));
        if (!file.open(QIODevice::WriteOnly))
            return i > 0;
    }
    return false;
}

QStringList listing(const QString &dir)
{
    return QDir(dir).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}
#endif

} // namespace

Q_DECLARE_METATYPE(FrontEnd)
Q_DECLARE_METATYPE(Fill)

class TestDiskFull : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void fullDisk_data();
    void fullDisk();
    void fullDiskWorkspace();
    void sharedSettings_data();
    void sharedSettings();

private:
    ProjectTree m_headers; // on the ordinary disk: the .pro lists them, they cost no room
};

void TestDiskFull::initTestCase()
{
#ifndef Q_OS_LINUX
    QSKIP("mounting a tmpfs is done on Linux only");
#else
    // A mount namespace of the test's own: its tmpfs mounts stay out of everybody else's
    // sight and vanish with the process, however it ends.
    const auto notPermitted = [](int error) {
        return QStringLiteral("mounting a tmpfs is not permitted here (%1); the test needs "
                              "root with CAP_SYS_ADMIN")
            .arg(QString::fromLocal8Bit(std::strerror(error)));
    };
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        QSKIP(qPrintable(notPermitted(errno)));
    ProjectTree probeDir;
    TmpfsMount probe;
    if (!probe.mount(probeDir.root(), "size=64k"))
        QSKIP(qPrintable(notPermitted(probe.error())));
    QVERIFY(m_headers.isValid());
    QVERIFY(!m_headers.root().contains(QLatin1Char(' ')));
    for (int i = 0; i < headerCount; ++i)
        QVERIFY(m_headers.add(QStringLiteral("inc/") + headerName(i)));
#endif
}

void TestDiskFull::fullDisk_data()
{
    QTest::addColumn<FrontEnd>("frontEnd");
    QTest::addColumn<Fill>("fill");
    QTest::addColumn<bool>("large"); // a .pro of some 200 KiB, or one of a few hundred bytes

    const struct
    {
        const char *name;
        Fill fill;
        bool large;
    } rows[] = {
        {"large .pro fits", Fill::Nothing, true},
        {"small .pro fits", Fill::Nothing, false},
        {"no space left, large .pro", Fill::AllSpace, true},
        // Small enough to stay in the file's write buffer until the commit.
        {"no space left, small .pro", Fill::AllSpace, false},
        {"64 KiB left for a larger .pro", Fill::AllButLittle, true},
        {"no inode left", Fill::AllInodes, false},
    };
    for (const auto &row : rows) {
        QTest::addRow("library: %s", row.name) << FrontEnd::Library << row.fill << row.large;
        QTest::addRow("cli: %s", row.name) << FrontEnd::Cli << row.fill << row.large;
    }
}

void TestDiskFull::fullDisk()
{
#ifdef Q_OS_LINUX
    QFETCH(FrontEnd, frontEnd);
    QFETCH(Fill, fill);
    QFETCH(bool, large);

    ProjectTree mountPoint;
    TmpfsMount tmpfs;
    QVERIFY2(tmpfs.mount(mountPoint.root(), "size=1m,nr_inodes=64,mode=0755"),
             std::strerror(tmpfs.error()));
    const QString dir = mountPoint.root();
    const QString projectPath = dir + QStringLiteral("/fw.uvprojx");
    const QString proPath = dir + QStringLiteral("/fw.pro");
    // Relative, as include directories are: "../<other temporary directory>/inc".
    const QByteArray includeDir =
        QFile::encodeName(QDir(dir).relativeFilePath(m_headers.path(QStringLiteral("inc"))));
    QVERIFY(includeDir.startsWith("../"));
    QByteArray project = "<FilePath>main.c</FilePath>\r\n";
    if (large)
        project.prepend("<IncludePath>" + includeDir + "</IncludePath>\r\n");
    QVERIFY(mountPoint.add(QStringLiteral("fw.uvprojx"), project));
    QVERIFY(mountPoint.add(QStringLiteral("fw.pro"), previousPro));

    QByteArray expected = expectedBanner(QString::fromLatin1(bannerTime));
    if (large) {
        expected +=
            "\r\nINCLUDEPATH += \\ \r\n\t" + includeDir + "\r\n\r\n\r\n\r\nHEADERS += \\ \r\n";
        for (int i = 0; i < headerCount; ++i)
            expected.append('\t')
                .append(includeDir)
                .append('/')
                .append(headerName(i).toLatin1())
                .append(" \\\r\n");
        QVERIFY(expected.size() > 128 * 1024);
    }
    expected += "\r\n\r\n\r\n\r\nSOURCES += \\ \r\n\tmain.c \\\r\n\r\n\r\n\r\n";

    const qint64 room = fill == Fill::AllButLittle ? 64 * 1024 : 0;
    switch (fill) {
    case Fill::Nothing:
        break;
    case Fill::AllSpace:
    case Fill::AllButLittle:
        QVERIFY(writeFiller(dir + QStringLiteral("/filler"), freeBytes(dir) - room));
        QCOMPARE(freeBytes(dir), room);
        break;
    case Fill::AllInodes:
        QVERIFY(exhaustInodes(dir));
        QVERIFY(freeBytes(dir) > expected.size());
        break;
    }
    const QStringList before = listing(dir);

    int status = -1;
    QString message;
    if (frontEnd == FrontEnd::Library) {
        ConversionOptions options;
        options.timestamp = QDateTime::fromSecsSinceEpoch(epoch, Qt::UTC);
        const ConversionResult result = convertProject(projectPath, options);
        status = int(result.status);
        message = result.message();
        QCOMPARE(result.outputPath, proPath);
    } else {
        QProcess cli;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("SOURCE_DATE_EPOCH"), QString::number(epoch));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        cli.setProcessEnvironment(env);
        cli.start(QStringLiteral(CORVANE_CLI), {projectPath});
        QVERIFY(cli.waitForFinished(120000));
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        status = cli.exitCode();
        const QByteArray out = cli.readAllStandardOutput();
        message = QString::fromUtf8(cli.readAllStandardError());
        QCOMPARE(out, fill == Fill::Nothing ? QFile::encodeName(proPath) + '\n' : QByteArray());
    }

    QCOMPARE(ProjectTree::readFile(projectPath), project);
    // Nothing new beside the project: no temporary file.
    QCOMPARE(listing(dir), before);
    if (fill == Fill::Nothing) {
        QCOMPARE(status, frontEnd == FrontEnd::Library ? int(ConversionStatus::Converted) : 0);
        QCOMPARE(withoutUvisionBuild(ProjectTree::readFile(proPath)), expected);
        return;
    }
    if (frontEnd == FrontEnd::Library) {
        QCOMPARE(status, int(ConversionStatus::OutputFailed));
        QCOMPARE(message, QStringLiteral("QT工程创建失败"));
    } else {
        QCOMPARE(status, 1);
        QCOMPARE(message, projectPath + QStringLiteral(": QT工程创建失败\n"));
    }
    QCOMPARE(ProjectTree::readFile(proPath), previousPro);
#endif
}

// A workspace on the full disk, its member on another: the member's .pro is written, the
// workspace's .pro is not, and the old one stays, with no temporary file beside it.
void TestDiskFull::fullDiskWorkspace()
{
#ifdef Q_OS_LINUX
    ProjectTree mountPoint;
    TmpfsMount tmpfs;
    QVERIFY2(tmpfs.mount(mountPoint.root(), "size=1m,nr_inodes=64,mode=0755"),
             std::strerror(tmpfs.error()));
    const QString dir = mountPoint.root();
    ProjectTree member;
    QVERIFY(member.add(QStringLiteral("fw.uvprojx"), "<FilePath>main.c</FilePath>\r\n"));
    QVERIFY(mountPoint.add(QStringLiteral("WS.uvmpw"),
                           "<project><PathAndName>" +
                               QFile::encodeName(member.path(QStringLiteral("fw.uvprojx"))) +
                               "</PathAndName></project>\r\n"));
    QVERIFY(mountPoint.add(QStringLiteral("WS.pro"), previousPro));
    QVERIFY(writeFiller(dir + QStringLiteral("/filler"), freeBytes(dir)));
    QCOMPARE(freeBytes(dir), 0);
    const QStringList before = listing(dir);

    const WorkspaceResult result = convertWorkspace(dir + QStringLiteral("/WS.uvmpw"));
    QCOMPARE(result.message(), QStringLiteral("QT工程创建失败"));
    QCOMPARE(result.members.size(), 1);
    QVERIFY(result.members.first().result.succeeded());
    QVERIFY(QFileInfo::exists(member.path(QStringLiteral("fw.pro"))));
    QCOMPARE(listing(dir), before);
    QCOMPARE(ProjectTree::readFile(dir + QStringLiteral("/WS.pro")), previousPro);
#endif
}

void TestDiskFull::sharedSettings_data()
{
    QTest::addColumn<bool>("full");      // room for the .pro only
    QTest::addColumn<bool>("leftEmpty"); // an empty one an earlier run left behind
    QTest::newRow("no room: nothing empty left, a notice; written once there is room")
        << true << false;
    QTest::newRow("an empty one left behind is mended") << false << true;
}

// The .pro.shared of GBK sources on a full disk: never left empty, and written again.
void TestDiskFull::sharedSettings()
{
#ifdef Q_OS_LINUX
    QFETCH(bool, full);
    QFETCH(bool, leftEmpty);

    ProjectTree mountPoint;
    TmpfsMount tmpfs;
    QVERIFY2(tmpfs.mount(mountPoint.root(), "size=1m,nr_inodes=64,mode=0755"),
             std::strerror(tmpfs.error()));
    const QString dir = mountPoint.root();
    QVERIFY(mountPoint.add(QStringLiteral("fw.uvprojx"), "<FilePath>main.c</FilePath>\r\n"));
    QVERIFY(mountPoint.add(QStringLiteral("main.c"), "/* \xd6\xd0\xce\xc4 */\n"));
    const QString project = dir + QStringLiteral("/fw.uvprojx");
    const QString shared = dir + QStringLiteral("/fw.pro.shared");
    // The room the .pro takes, in whole pages.
    QVERIFY(convertProject(project).succeeded());
    const qint64 room = (QFileInfo(dir + QStringLiteral("/fw.pro")).size() + 4095) / 4096 * 4096;
    QVERIFY(QFile::remove(dir + QStringLiteral("/fw.pro")) && QFile::remove(shared));
    if (leftEmpty)
        QVERIFY(mountPoint.add(QStringLiteral("fw.pro.shared")));
    if (full)
        QVERIFY(writeFiller(dir + QStringLiteral("/filler"), freeBytes(dir) - room));

    ConversionResult result = convertProject(project);
    QVERIFY(result.succeeded());
    QCOMPARE(QFileInfo::exists(shared), !full);
    QCOMPARE(noticeTexts(result.notices),
             full ? QStringList{QStringLiteral("fw.pro.shared cannot be written or removed; "
                                               "the sources are GBK")}
                  : QStringList());
    QVERIFY(QFile::remove(dir + QStringLiteral("/filler")) || !full);
    result = convertProject(project);
    QVERIFY(result.shared.written);
    QCOMPARE(ProjectTree::readFile(shared), Corvane::sharedSettings("GBK"));
#endif
}

QTEST_GUILESS_MAIN(TestDiskFull)
#include "tst_diskfull.moc"
