#ifndef CORVANE_WATCH_H
#define CORVANE_WATCH_H

#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTimer>

#include <functional>

// corvane-cli --watch: each input converted once, then again whenever one of the files its
// conversion read changes (a project, or a workspace and its members), until SIGINT or
// SIGTERM (Ctrl+C, Ctrl+Break or closing the console on Windows) ends the event loop.
class Watch : public QObject
{
    Q_OBJECT

public:
    // Converts one input and reports it: whether it converted, and the files it read.
    struct Converted
    {
        bool succeeded = false;
        QStringList read;
    };
    using Convert = std::function<Converted(const QString &input)>;

    Watch(const QStringList &inputs, Convert convert);
    ~Watch() override;

    // Converts every input, then watches until a signal ends it; the exit status: 1 when the
    // last conversion of any input failed, else 0.
    int run();

private:
    void convert(const QString &input);
    void watchFile(const QString &input, const QString &path);
    void changed(const QString &path);
    void convertPending();

    // What tells a file's versions apart: absent, or its size and modification time.
    static QString signature(const QString &path);

    QStringList m_inputs;
    Convert m_convert;
    QFileSystemWatcher m_watcher;
    QHash<QString, QStringList> m_files; // per input, the files its conversion read
    // Per input, each file it read as its last conversion saw it: a file two inputs read
    // may change between their conversions.
    QHash<QString, QHash<QString, QString>> m_signatures;
    QSet<QString> m_failed;  // inputs whose last conversion failed
    QSet<QString> m_pending; // inputs to convert once the timer fires
    QTimer m_settle;
};

#endif
