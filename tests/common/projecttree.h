#ifndef CORVANE_TESTS_PROJECTTREE_H
#define CORVANE_TESTS_PROJECTTREE_H

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

// A throw-away directory tree for one test case: a project file, the headers of its include
// directories and whatever else the case needs.
class ProjectTree
{
public:
    ProjectTree() = default;

    bool isValid() const { return m_dir.isValid(); }
    QString root() const { return m_dir.path(); }
    QString path(const QString &relative) const { return m_dir.filePath(relative); }

    // A path ending in '/' makes a directory; anything else a file with the given bytes.
    bool add(const QString &relative, const QByteArray &content = QByteArray()) const
    {
        const QString full = path(relative);
        if (relative.endsWith(QLatin1Char('/')))
            return QDir().mkpath(full);
        if (!QDir().mkpath(QFileInfo(full).absolutePath()))
            return false;
        QFile file(full);
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    }

    bool addAll(const QStringList &relatives) const
    {
        for (const QString &relative : relatives) {
            if (!add(relative))
                return false;
        }
        return true;
    }

    QByteArray read(const QString &relative) const { return readFile(path(relative)); }

    static QByteArray readFile(const QString &fullPath)
    {
        QFile file(fullPath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Every entry below the root, for "nothing else was written" checks.
    QStringList entries() const
    {
        QStringList result;
        collect(QDir(root()), QString(), result);
        result.sort();
        return result;
    }

private:
    static void collect(const QDir &dir, const QString &prefix, QStringList &out)
    {
        const auto infos = dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                             QDir::NoDotAndDotDot);
        for (const QFileInfo &info : infos) {
            const QString name = prefix + info.fileName();
            if (info.isDir() && !info.isSymLink()) {
                out.append(name + QLatin1Char('/'));
                collect(QDir(info.filePath()), name + QLatin1Char('/'), out);
            } else {
                out.append(name);
            }
        }
    }

    QTemporaryDir m_dir;
};

// The banner for a fixed time, as the tests expect it.
inline QByteArray expectedBanner(const QString &time)
{
    return "###########################################\r\n"
           "# Corvane V1.0\r\n"
           "# The file was created on " +
           time.toUtf8() +
           "\r\n"
           "# By: Tolvar\r\n"
           "###########################################\r\n"
           "\r\n"
           "CONFIG += console\r\n"
           "CONFIG -= qt\r\n"
           "\r\n"
           "\r\n";
}

// A .pro without the block that builds it with uVision, which comes last before the
// closing lines; tst_uvisionbuild checks that block.
inline QByteArray withoutUvisionBuild(const QByteArray &pro)
{
    const int start = pro.indexOf("\r\n# Build with uVision\r\n");
    const QByteArray closing = "\r\n\r\n\r\n";
    if (start < 0 || !pro.endsWith(closing))
        return pro;
    return pro.left(start) + closing;
}

#endif
