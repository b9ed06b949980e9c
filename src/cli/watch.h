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
    // Converts one input, reports it, and gives the files it read.
    using Convert = std::function<QStringList(const QString &input)>;

    Watch(const QStringList &inputs, Convert convert);
    ~Watch() override;

    // Converts every input, then watches until a signal ends it; the exit status.
    int run();

private:
    void convert(const QString &input);
    void watchFile(const QString &path);
    void changed(const QString &path);
    void convertPending();

    // What tells a file's versions apart: absent, or its size and modification time.
    static QString signature(const QString &path);

    QStringList m_inputs;
    Convert m_convert;
    QFileSystemWatcher m_watcher;
    QHash<QString, QStringList> m_files;  // per input, the files its conversion read
    QHash<QString, QString> m_signatures; // per file read, as that conversion saw it
    QSet<QString> m_pending;              // inputs to convert once the timer fires
    QTimer m_settle;
};

#endif
