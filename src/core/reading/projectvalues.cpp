#include "reading/projectvalues.h"

#include <algorithm>

namespace Corvane {

namespace {

QString unquoted(const QString &text)
{
    const bool quoted =
        text.size() >= 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"'));
    return quoted ? text.mid(1, text.size() - 2).trimmed() : text;
}

} // namespace

QString cleanIncludeEntry(QStringView entry)
{
    entry = entry.trimmed();
    if (entry.size() >= 2 && entry.startsWith(QLatin1Char('"')) && entry.endsWith(QLatin1Char('"')))
        entry = entry.mid(1, entry.size() - 2).trimmed();
    // One copy, the separators turned on the way.
    QString path(entry.size(), Qt::Uninitialized);
    std::transform(entry.cbegin(), entry.cend(), path.begin(),
                   [](QChar c) { return c == QLatin1Char('\\') ? QLatin1Char('/') : c; });
    return path;
}

QStringList includeEntries(const QString &list)
{
    // Entry by entry rather than split() and a copy of each: a list may hold thousands.
    QStringList entries;
    const QStringView text(list);
    for (qsizetype start = 0;;) {
        const qsizetype end = text.indexOf(QLatin1Char(';'), start);
        entries.append(cleanIncludeEntry(text.mid(start, end < 0 ? -1 : end - start)));
        if (end < 0)
            return entries;
        start = end + 1;
    }
}

QString cleanFilePath(const QString &path)
{
    QString clean = unquoted(path);
    clean.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return clean;
}

QStringList splitDefines(const QString &defines)
{
    // Views into the list, one copy per define: vendor lists hold thousands.
    QStringList result;
    const QStringView text(defines);
    for (qsizetype start = 0;;) {
        const qsizetype comma = text.indexOf(QLatin1Char(','), start);
        const QStringView item = text.mid(start, comma < 0 ? -1 : comma - start).trimmed();
        if (item.isEmpty())
            result.append(QString());
        // uVision also accepts blanks between defines; a quoted value may hold blanks.
        qsizetype from = -1;
        bool inQuotes = false;
        for (qsizetype i = 0; i < item.size(); ++i) {
            const QChar c = item.at(i);
            if (c == QLatin1Char('"'))
                inQuotes = !inQuotes;
            if (c.isSpace() && !inQuotes) {
                if (from >= 0)
                    result.append(item.mid(from, i - from).toString());
                from = -1;
            } else if (from < 0) {
                from = i;
            }
        }
        if (from >= 0)
            result.append(item.mid(from).toString());
        if (comma < 0)
            return result;
        start = comma + 1;
    }
}

QStringList defineItems(const QString &defines)
{
    return splitDefines(QString(defines).replace(QLatin1Char('\\'), QLatin1Char('/')));
}

} // namespace Corvane
