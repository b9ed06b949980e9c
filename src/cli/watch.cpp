#include "watch.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

#ifdef Q_OS_WIN
#include <qt_windows.h>

#include <atomic>
#else
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

// A save is often several writes, or a new file renamed over the old one: one conversion
// once the files have been quiet this long.
constexpr int settleMs = 300;

#ifdef Q_OS_WIN
std::atomic<bool> quitting{false};
std::atomic<bool> finished{false};

BOOL WINAPI consoleHandler(DWORD event)
{
    quitting = true;
    QMetaObject::invokeMethod(QCoreApplication::instance(), "quit", Qt::QueuedConnection);
    // Windows ends the process as soon as the handler of a closing console returns: give the
    // event loop the time to finish the conversion under way.
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
        for (int i = 0; i < 90 && !finished; ++i)
            Sleep(50);
    }
    return TRUE;
}

// The signals reach the event loop as a queued quit(); a conversion under way ends first.
class SignalQuit
{
public:
    SignalQuit() { SetConsoleCtrlHandler(consoleHandler, TRUE); }
    ~SignalQuit()
    {
        finished = true;
        SetConsoleCtrlHandler(consoleHandler, FALSE);
    }
};
#else
int signalFds[2] = {-1, -1};

void signalHandler(int)
{
    const char byte = 1;
    // Only what is safe in a signal handler: one write on the socket.
    [[maybe_unused]] const ssize_t written = ::write(signalFds[0], &byte, 1);
}

// SIGINT and SIGTERM write a byte to a socket pair; its other end, read in the event loop,
// quits it. A conversion under way ends first.
class SignalQuit
{
public:
    SignalQuit()
    {
        if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalFds) != 0)
            return;
        m_notifier = new QSocketNotifier(signalFds[1], QSocketNotifier::Read);
        QObject::connect(m_notifier, &QSocketNotifier::activated, [] {
            char byte = 0;
            [[maybe_unused]] const ssize_t got = ::read(signalFds[1], &byte, 1);
            QCoreApplication::quit();
        });
        struct sigaction action = {};
        action.sa_handler = signalHandler;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(SIGINT, &action, &m_oldInt);
        sigaction(SIGTERM, &action, &m_oldTerm);
    }
    ~SignalQuit()
    {
        if (!m_notifier)
            return;
        sigaction(SIGINT, &m_oldInt, nullptr);
        sigaction(SIGTERM, &m_oldTerm, nullptr);
        delete m_notifier;
        ::close(signalFds[0]);
        ::close(signalFds[1]);
    }

private:
    QSocketNotifier *m_notifier = nullptr;
    struct sigaction m_oldInt = {};
    struct sigaction m_oldTerm = {};
};
#endif

QString key(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

Watch::Watch(const QStringList &inputs, Convert convert)
    : m_inputs(inputs), m_convert(std::move(convert))
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(settleMs);
    connect(&m_settle, &QTimer::timeout, this, &Watch::convertPending);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &Watch::changed);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &Watch::changed);
}

Watch::~Watch() = default;

int Watch::run()
{
    SignalQuit quitOnSignal;
    for (const QString &input : qAsConst(m_inputs))
        convert(input);
    QCoreApplication::exec();
    return m_failed.isEmpty() ? 0 : 1;
}

QString Watch::signature(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QString();
    return QString::number(info.size()) + QLatin1Char(' ') +
           QString::number(info.lastModified().toMSecsSinceEpoch());
}

void Watch::convert(const QString &input)
{
    // What the last conversion read is compared from before this one reads it, so that a
    // save while it runs makes one more; files it finds only now (a workspace's new
    // members) from after it. The lines come out once every file is watched.
    const QStringList before = m_files.value(input, {key(input)});
    for (const QString &path : before)
        watchFile(input, path);
    const Converted converted = m_convert(input);
    if (converted.succeeded)
        m_failed.remove(input);
    else
        m_failed.insert(input);
    QStringList keys{key(input)};
    for (const QString &file : converted.read) {
        const QString path = key(file);
        if (keys.contains(path))
            continue;
        keys.append(path);
        if (!before.contains(path))
            watchFile(input, path);
    }
    // A member no longer in the workspace counts no more.
    m_files.insert(input, keys);
    std::fflush(stdout);
    std::fflush(stderr);
}

void Watch::watchFile(const QString &input, const QString &path)
{
    m_signatures[input].insert(path, signature(path));
    // The folder too: an editor that saves by renaming a new file over the old one replaces
    // the file watched, and the watch on it ends.
    const QString folder = QFileInfo(path).absolutePath();
    if (!m_watcher.directories().contains(folder) && QFileInfo(folder).isDir())
        m_watcher.addPath(folder);
    if (!m_watcher.files().contains(path) && QFileInfo::exists(path))
        m_watcher.addPath(path);
}

void Watch::changed(const QString &)
{
    // Whatever changed — a file watched, or anything in a folder watched (the .pro just
    // written among it) — each input's files are compared with what its conversion read.
    for (auto input = m_files.cbegin(); input != m_files.cend(); ++input) {
        for (const QString &path : input.value()) {
            if (!m_watcher.files().contains(path) && QFileInfo::exists(path))
                m_watcher.addPath(path);
            if (signature(path) != m_signatures.value(input.key()).value(path))
                m_pending.insert(input.key());
        }
    }
    if (!m_pending.isEmpty())
        m_settle.start();
}

void Watch::convertPending()
{
    // In the order given on the command line.
    for (const QString &input : qAsConst(m_inputs)) {
        if (m_pending.remove(input))
            convert(input);
    }
}
