#include "qmake/fragments.h"

#include "reading/projectvalues.h"

#include <QDir>
#include <QStringList>

#include <algorithm>

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

// Characters that qmake does not take literally somewhere in a value.
// Characters below 0x80 that need care: the ones above, and white space. A table, since
// every character of every value is looked up.
struct AsciiCare
{
    bool care[128] = {};
    constexpr AsciiCare()
    {
        for (const char c :
             {'$', '#', '\\', '"', '\'', '{', '}', ' ', '\t', '\n', '\v', '\f', '\r'})
            care[static_cast<unsigned char>(c)] = true;
    }
};
constexpr AsciiCare asciiCare;

bool needsCare(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x80 ? asciiCare.care[u] : c.isSpace();
}

// Plain ASCII (see isPlainAscii()) is the same in every syntax: appended as it is checked,
// in one pass, and taken back when it is not plain.
bool appendPlain(QByteArray &out, QStringView text)
{
    const int at = out.size();
    out.resize(at + int(text.size()));
    char *to = out.data() + at;
    bool care = false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        care |= u >= 0x80 || asciiCare.care[u & 0x7f];
        *to++ = char(u);
    }
    if (care)
        out.resize(at);
    return !care;
}

// qmakeValue(text) as UTF-8, appended; plain ASCII, as most paths are, without a copy.
void appendValue(QByteArray &out, const QString &text)
{
    if (!appendPlain(out, text))
        out += qmakeValue(text).toUtf8();
}

QByteArray joinDefines(const QStringList &items)
{
    QByteArray out;
    for (int i = 0; i < items.size(); ++i) {
        if (i > 0)
            out += itemSeparator;
        if (!appendPlain(out, items.at(i)))
            out += qmakeValue(items.at(i), ValueSyntax::DefineItem).toUtf8();
    }
    return out;
}

} // namespace

const char deviceLead[] = "# Device ";
const char definesOpener[] = "\r\nDEFINES += \\ \r\n\t";
const char includesOpener[] = "\r\nINCLUDEPATH += \\ \r\n\t";
const char headersOpener[] = "\r\n\r\n\r\n\r\nHEADERS += \\ \r\n";
const char sourcesOpener[] = "\r\n\r\n\r\n\r\nSOURCES += \\ \r\n";
const char groupHeadersOpener[] = "\r\nHEADERS += \\ \r\n";
const char distFilesOpener[] = "\r\nDISTFILES += \\ \r\n";
const char listEnd[] = "\r\n\r\n";
const char keywordsOpener[] =
    "\r\n# Arm Compiler 5's keywords as clang reads them, for Qt Creator's "
    "code model\r\nqtc_run: DEFINES += \\ \r\n\t";
const char closing[] = "\r\n\r\n\r\n";
const char scopeCloser[] = "}\r\n";

QByteArray banner(const QDateTime &time)
{
    QString text = QString::fromLatin1(bannerTemplate);
    text.replace(QLatin1String("CurrentTime"), time.toString(QStringLiteral("yyyy-MM-dd hh:mm")));
    return text.toUtf8();
}

QByteArray scopeDefault(const QString &target)
{
    return "isEmpty(UV_TARGET): UV_TARGET = " + qmakeValue(target, ValueSyntax::Quoted).toUtf8() +
           "\r\n";
}

QByteArray targetNumbers(const QStringList &targets)
{
    QByteArray out = "# UV_TARGET by number\r\n";
    for (int i = 0; i < targets.size(); ++i) {
        const QString number = QString::number(i + 1);
        if (!targets.contains(number))
            out += "equals(UV_TARGET, " + number.toUtf8() +
                   "): UV_TARGET = " + qmakeValue(targets.at(i), ValueSyntax::Quoted).toUtf8() +
                   "\r\n";
    }
    return out;
}

QByteArray scopeOpener(const QString &target)
{
    return "equals(UV_TARGET, " + qmakeValue(target, ValueSyntax::Quoted).toUtf8() + ") {\r\n";
}

QByteArray targetCheck(const QStringList &targets)
{
    QByteArray conditions;
    QStringList quoted;
    for (const QString &target : targets) {
        conditions +=
            "!equals(UV_TARGET, " + qmakeValue(target, ValueSyntax::Quoted).toUtf8() + "):";
        quoted.append(QString::number(quoted.size() + 1) + QLatin1String(": \"") + target +
                      QLatin1Char('"'));
    }
    // The value given is spliced in between two literal parts of the message.
    return "\r\n# Check UV_TARGET\r\n" + conditions + " error(" +
           qmakeValue(QStringLiteral("UV_TARGET \""), ValueSyntax::Quoted).toUtf8() +
           "$${UV_TARGET}" +
           qmakeValue(QStringLiteral("\" names no target of this project; its targets are ") +
                          quoted.join(QStringLiteral(", ")) +
                          QStringLiteral(". UV_TARGET takes a target's number in place of its "
                                         "name."),
                      ValueSyntax::Quoted)
               .toUtf8() +
           ")\r\n";
}

QByteArray linkedProgram(const QString &folder, const QString &name)
{
    // Qt Creator takes a relative DESTDIR from the build folder, not from the project's.
    QString path = cleanFilePath(folder);
    const bool absolute =
        path.startsWith(QLatin1Char('/')) || (path.size() >= 2 && path.at(1) == QLatin1Char(':'));
    QByteArray destDir = "$$PWD";
    if (absolute) {
        // As the project names it, without the separator at its end: "D:/fw/out", "D:/".
        if (path.size() > 1 && path.endsWith(QLatin1Char('/')) &&
            !path.endsWith(QLatin1String(":/")))
            path.chop(1);
        destDir = qmakeValue(path).toUtf8();
    } else if (!path.isEmpty()) {
        path = QDir::cleanPath(path);
        if (path != QLatin1String("."))
            destDir += '/' + qmakeValue(path).toUtf8();
    }
    QByteArray out = "\r\n# Where uVision links this target, for Qt Creator's Run and Debug\r\n"
                     "qtc_run {\r\n";
    out += "    TARGET = " + qmakeValue(name).toUtf8() + "\r\n";
    out += "    DESTDIR = " + destDir + "\r\n";
    // ".." steps climb from the .pro's folder; a path given to clean_path() directly would
    // be split at its commas.
    if (path.startsWith(QLatin1String("..")))
        out += "    DESTDIR = $$clean_path($$DESTDIR)\r\n";
    out += "    TARGET_EXT = .axf\r\n}\r\n";
    return out;
}

QByteArray deviceValue(const QString &device)
{
    return '\t' + commentText(device).toUtf8() + "\r\n\r\n";
}

QString qmakeValue(const QString &text, ValueSyntax syntax)
{
    if (syntax != ValueSyntax::Quoted && std::none_of(text.cbegin(), text.cend(), needsCare))
        return text;
    // Double quotes of a define item are qmake's own only when they pair up.
    const bool grouping =
        syntax == ValueSyntax::DefineItem && text.count(QLatin1Char('"')) % 2 == 0;
    bool quote = syntax == ValueSyntax::Quoted;
    bool inQuotes = false;
    QString out;
    out.reserve(text.size() + 16);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '$':
            out += QLatin1String("$${LITERAL_DOLLAR}");
            break;
        case '#':
            out += QLatin1String("$${LITERAL_HASH}");
            break;
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\n':
            out += QLatin1String("$$escape_expand(\\\\n)");
            break;
        case '\r':
            out += QLatin1String("$$escape_expand(\\\\r)");
            break;
        case '"':
            if (grouping) {
                inQuotes = !inQuotes;
                out += c;
            } else {
                out += QLatin1String("\\\"");
            }
            break;
        case '\'':
        case '{':
        case '}':
            // Literal inside double quotes; a define item quotes just the character.
            if (grouping && !inQuotes)
                out += QLatin1Char('"') + c + QLatin1Char('"');
            else
                out += c;
            if (!grouping)
                quote = true;
            break;
        default:
            if (c.isSpace() && !grouping)
                quote = true;
            out += c;
            break;
        }
    }
    return quote ? QLatin1Char('"') + out + QLatin1Char('"') : out;
}

QString commentText(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    }
    return out;
}

QByteArray defineList(const QString &defines)
{
    return joinDefines(defineItems(defines));
}

QByteArray defineValues(const std::vector<QStringView> &items)
{
    QByteArray out;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            out += itemSeparator;
        if (!appendPlain(out, items[i]))
            out += qmakeValue(items[i].toString(), ValueSyntax::DefineItem).toUtf8();
    }
    return out;
}

QByteArray valueList(const QStringList &values)
{
    QByteArray out;
    for (int i = 0; i < values.size(); ++i) {
        if (i > 0)
            out += itemSeparator;
        appendValue(out, values.at(i));
    }
    return out;
}

bool isPlainAscii(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80 || asciiCare.care[c.unicode()])
            return false;
    }
    return true;
}

QByteArray fileEntry(const QString &path)
{
    QByteArray out;
    out.reserve(path.size() + 5);
    out += '\t';
    appendValue(out, path);
    out += " \\\r\n";
    return out;
}

} // namespace Corvane::Fragments
