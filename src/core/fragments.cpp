#include "fragments.h"

#include <QStringList>

namespace Corvane::Fragments {

namespace {

const char bannerTemplate[] = "###########################################\r\n"
                              "# Corvane V1.0\r\n"
                              "# The file was created on CurrentTime\r\n"
                              "# By: Tolvar\r\n"
                              "###########################################\r\n"
                              "\r\n"
                              "CONFIG += console\r\n"
                              "CONFIG -= qt\r\n"
                              "\r\n"
                              "\r\n";

// Separates the items of a define or include list inside one qmake assignment.
const char itemSeparator[] = " \\ \r\n\t";

bool hasWhiteSpace(const QString &text)
{
    for (const QChar c : text) {
        if (c.isSpace())
            return true;
    }
    return false;
}

bool isQuoted(const QString &text)
{
    return text.size() >= 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"'));
}

QByteArray joinItems(const QStringList &items)
{
    QByteArray out;
    for (int i = 0; i < items.size(); ++i) {
        if (i > 0)
            out += itemSeparator;
        out += items.at(i).toUtf8();
    }
    return out;
}

} // namespace

const char deviceLead[] = "# Device ";
const char definesOpener[] = "\r\nDEFINES += \\ \r\n\t";
const char includesOpener[] = "\r\nINCLUDEPATH += \\ \r\n\t";
const char headersOpener[] = "\r\n\r\n\r\n\r\nHEADERS += \\ \r\n";
const char sourcesOpener[] = "\r\n\r\n\r\n\r\nSOURCES += \\ \r\n";
const char listEnd[] = "\r\n\r\n";
const char closing[] = "\r\n\r\n\r\n";

QByteArray banner(const QDateTime &time)
{
    QString text = QString::fromLatin1(bannerTemplate);
    text.replace(QLatin1String("CurrentTime"), time.toString(QStringLiteral("yyyy-MM-dd hh:mm")));
    return text.toUtf8();
}

QByteArray deviceValue(const QString &device)
{
    return '\t' + device.toUtf8() + "\r\n\r\n";
}

QString qmakePath(const QString &path)
{
    if (hasWhiteSpace(path) && !isQuoted(path))
        return QLatin1Char('"') + path + QLatin1Char('"');
    return path;
}

QString cleanIncludeEntry(const QString &entry)
{
    QString path = entry.trimmed();
    if (isQuoted(path))
        path = path.mid(1, path.size() - 2).trimmed();
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path;
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

QByteArray defineList(const QString &defines)
{
    QString value = defines;
    value.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return joinItems(splitDefines(value));
}

QByteArray includeList(const QString &includes)
{
    // Entry by entry rather than split: a list may hold thousands of entries.
    QByteArray out;
    for (int start = 0;;) {
        const int end = includes.indexOf(QLatin1Char(';'), start);
        if (start > 0)
            out += itemSeparator;
        const QString entry = includes.mid(start, end < 0 ? -1 : end - start);
        out += qmakePath(cleanIncludeEntry(entry)).toUtf8();
        if (end < 0)
            return out;
        start = end + 1;
    }
}

QByteArray fileEntry(const QString &path)
{
    return '\t' + qmakePath(path).toUtf8() + " \\\r\n";
}

} // namespace Corvane::Fragments
