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

// uVision also accepts blanks between defines; a quoted value may hold blanks.
void splitWords(QStringView item, std::vector<QStringView> *result)
{
    qsizetype from = -1;
    bool inQuotes = false;
    for (qsizetype i = 0; i < item.size(); ++i) {
        const QChar c = item.at(i);
        if (c == QLatin1Char('"'))
            inQuotes = !inQuotes;
        if (c.isSpace() && !inQuotes) {
            if (from >= 0)
                result->push_back(item.mid(from, i - from));
            from = -1;
        } else if (from < 0) {
            from = i;
        }
    }
    if (from >= 0)
        result->push_back(item.mid(from));
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

std::vector<QStringView> includeEntryViews(QStringView list)
{
    std::vector<QStringView> entries;
    for (qsizetype start = 0;;) {
        const qsizetype end = list.indexOf(QLatin1Char(';'), start);
        QStringView entry = list.mid(start, end < 0 ? -1 : end - start).trimmed();
        if (entry.size() >= 2 && entry.startsWith(QLatin1Char('"')) &&
            entry.endsWith(QLatin1Char('"')))
            entry = entry.mid(1, entry.size() - 2).trimmed();
        entries.push_back(entry);
        if (end < 0)
            return entries;
        start = end + 1;
    }
}

QStringList includeEntries(const QString &list)
{
    const QString normalized = QString(list).replace(QLatin1Char('\\'), QLatin1Char('/'));
    QStringList entries;
    for (const QStringView entry : includeEntryViews(normalized))
        entries.append(entry.toString());
    return entries;
}

QString cleanFilePath(const QString &path)
{
    QString clean = unquoted(path);
    clean.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return clean;
}

std::vector<QStringView> defineViews(QStringView defines)
{
    std::vector<QStringView> result;
    const QChar *const end = defines.end();
    for (const QChar *start = defines.begin();;) {
        // Most items are one word of printable ASCII: taken whole, in the pass that finds
        // their comma.
        bool word = true;
        const QChar *p = start;
        for (; p != end && *p != QLatin1Char(','); ++p)
            word &= p->unicode() > ' ' && p->unicode() < 0x7f;
        const QStringView item(start, p - start);
        if (word && !item.isEmpty())
            result.push_back(item);
        else if (item.trimmed().isEmpty())
            result.push_back(QStringView());
        else
            splitWords(item.trimmed(), &result);
        if (p == end)
            return result;
        start = p + 1;
    }
}

QStringList splitDefines(const QString &defines)
{
    QStringList result;
    for (const QStringView item : defineViews(defines))
        result.append(item.toString());
    return result;
}

QStringList defineItems(const QString &defines)
{
    return splitDefines(QString(defines).replace(QLatin1Char('\\'), QLatin1Char('/')));
}

} // namespace Corvane
