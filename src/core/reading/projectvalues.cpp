#include "reading/projectvalues.h"

namespace Corvane {

namespace {

QString unquoted(const QString &text)
{
    const bool quoted =
        text.size() >= 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"'));
    return quoted ? text.mid(1, text.size() - 2).trimmed() : text;
}

} // namespace

QString cleanIncludeEntry(const QString &entry)
{
    QString path = unquoted(entry.trimmed());
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path;
}

QString cleanFilePath(const QString &path)
{
    QString clean = unquoted(path);
    clean.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return clean;
}

QStringList splitDefines(const QString &defines)
{
    QStringList result;
    const QStringList items = defines.split(QLatin1Char(','));
    for (const QString &raw : items) {
        const QString item = raw.trimmed();
        if (item.isEmpty()) {
            result.append(QString());
            continue;
        }
        // uVision also accepts blanks between defines; a quoted value may hold blanks.
        QString current;
        bool inQuotes = false;
        for (const QChar c : item) {
            if (c == QLatin1Char('"'))
                inQuotes = !inQuotes;
            if (c.isSpace() && !inQuotes) {
                if (!current.isEmpty())
                    result.append(current);
                current.clear();
            } else {
                current += c;
            }
        }
        if (!current.isEmpty())
            result.append(current);
    }
    return result;
}

QStringList defineItems(const QString &defines)
{
    return splitDefines(QString(defines).replace(QLatin1Char('\\'), QLatin1Char('/')));
}

} // namespace Corvane
