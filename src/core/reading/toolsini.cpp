#include "reading/toolsini.h"

#include <QDir>
#include <QFile>
#include <QList>

namespace Corvane {

namespace {

bool sameName(const QByteArray &name, QLatin1String wanted)
{
    return name.size() == wanted.size() &&
           qstrnicmp(name.constData(), wanted.data(), uint(name.size())) == 0;
}

// "D:/x", "D:" and "/x" (a UNC path or one on the root's drive) are absolute on Windows,
// wherever the file is read.
bool isAbsolute(const QString &path)
{
    return path.startsWith(QLatin1Char('/')) ||
           (path.size() >= 2 && path.at(1) == QLatin1Char(':') && path.at(0).isLetter());
}

} // namespace

QString decodeSystemAnsi(const QByteArray &bytes)
{
    return QString::fromLocal8Bit(bytes);
}

QString toolsIniValue(const QByteArray &ini, QLatin1String section, QLatin1String key,
                      AnsiDecoder decode)
{
    // Split and trimmed as bytes: no byte of a GBK character is a blank, '=', '"' or '[' at
    // the start of a line, but its second byte may be '\\', so separators wait for the text.
    bool inSection = false;
    const QList<QByteArray> lines = ini.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        QByteArray line = lines.at(i).trimmed();
        if (i == 0 && line.startsWith("\xEF\xBB\xBF"))
            line = line.mid(3).trimmed();
        if (line.startsWith('[')) {
            const int close = line.indexOf(']');
            inSection = close > 0 && sameName(line.mid(1, close - 1).trimmed(), section);
            continue;
        }
        const int equals = line.indexOf('=');
        if (!inSection || equals <= 0 || !sameName(line.left(equals).trimmed(), key))
            continue;
        QByteArray value = line.mid(equals + 1).trimmed();
        if (value.size() >= 2 && (value.at(0) == '"' || value.at(0) == '\'') &&
            value.at(value.size() - 1) == value.at(0))
            value = value.mid(1, value.size() - 2);
        const QString utf8 = QString::fromUtf8(value);
        // Invalid UTF-8 does not survive the round trip: its bytes became U+FFFD.
        return utf8.toUtf8() == value ? utf8 : decode(value);
    }
    return QString();
}

QString toolsIniPackFolder(const QString &root, AnsiDecoder decode)
{
    QFile file(root + QStringLiteral("/TOOLS.INI"));
    if (root.isEmpty() || !file.open(QIODevice::ReadOnly))
        return QString();
    // A few kilobytes; a file far larger is no TOOLS.INI.
    const QByteArray ini = file.read(4 * 1024 * 1024);
    QString folder = toolsIniValue(ini, QLatin1String("UV2"), QLatin1String("RTEPATH"), decode)
                         .trimmed()
                         .replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (folder.isEmpty())
        return QString();
    if (!isAbsolute(folder))
        folder = root + QLatin1Char('/') + folder;
    return QDir::cleanPath(folder);
}

} // namespace Corvane
