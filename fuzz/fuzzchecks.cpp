#include "fuzzchecks.h"

#include "qmake/fragments.h"

#include <QCoreApplication>
#include <QList>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace FuzzChecks {

namespace {

// Why text of the .pro would make qmake read something other than literal values, or an
// empty string.
QString literalFault(const QByteArray &line)
{
    static const QByteArray safe[] = {"$${LITERAL_DOLLAR}", "$${LITERAL_HASH}",
                                      "$$escape_expand(\\\\n)", "$$escape_expand(\\\\r)"};
    bool inQuotes = false;
    for (int i = 0; i < line.size(); ++i) {
        const char c = line.at(i);
        if (c == '\\') {
            ++i; // an escaped character, or the continuation at the end of a list line
            continue;
        }
        if (c == '$') {
            const auto known = std::find_if(
                std::begin(safe), std::end(safe), [&line, i](const QByteArray &sequence) {
                    return line.size() - i >= sequence.size() &&
                           std::memcmp(line.constData() + i, sequence.constData(),
                                       size_t(sequence.size())) == 0;
                });
            if (known != std::end(safe)) {
                i += known->size() - 1;
                continue;
            }
        }
        if (c == '"')
            inQuotes = !inQuotes;
        else if (c == '$' || c == '#')
            return QStringLiteral("an unescaped ") + QLatin1Char(c);
        else if (!inQuotes && (c == '{' || c == '}' || c == '\''))
            return QStringLiteral("an unquoted ") + QLatin1Char(c);
    }
    return inQuotes ? QStringLiteral("an unpaired double quote") : QString();
}

// Why a line of the .pro would make qmake read something other than literal values, or
// an empty string.
QString syntaxFault(const QByteArray &line)
{
    if (line.contains('\r') || line.contains('\n'))
        return QStringLiteral("a line break inside a line");
    if (line.startsWith("# Device \t") || line.startsWith("# Added by uVision for this target: ") ||
        line == "}" || line == "# The active project in uVision" || line == "# Check UV_TARGET" ||
        line == "# Arm Compiler 5's keywords as clang reads them, for Qt Creator's code model" ||
        line == "# UV_TARGET by number" ||
        line == "# Built one after another, in this order, also by make -j." ||
        line == "# Where uVision links this target, for Qt Creator's Run and Debug" ||
        line == "qtc_run {" || line == "    DESTDIR = $$clean_path($$DESTDIR)" ||
        line == "    TARGET_EXT = .axf" || line == "    DESTDIR = $$PWD")
        return QString();
    // The program's name and folder for Qt Creator's Run and Debug.
    static const QByteArray programLeads[] = {"    TARGET = ", "    DESTDIR = $$PWD/",
                                              "    DESTDIR = "};
    for (const QByteArray &lead : programLeads) {
        if (line.startsWith(lead))
            return syntaxFault(line.mid(lead.size()));
    }
    // The scope lines of a project of several targets: a quoted name inside.
    static const QByteArray defaultLead = "isEmpty(UV_TARGET): UV_TARGET = ";
    static const QByteArray scopeLead = "equals(UV_TARGET, ";
    if (line.startsWith(defaultLead))
        return syntaxFault(line.mid(defaultLead.size()));
    if (line.startsWith(scopeLead) && line.endsWith(") {"))
        return syntaxFault(line.mid(scopeLead.size(), line.size() - scopeLead.size() - 3));
    // A number that selects a target: equals(UV_TARGET, 2): UV_TARGET = "name"
    const int number = line.indexOf("): UV_TARGET = ");
    if (line.startsWith(scopeLead) && number > 0)
        return syntaxFault(line.mid(number + 15));
    // The check after the last scope splices the value given between two quoted parts of
    // its message.
    static const QByteArray spliced = "\"$${UV_TARGET}\"";
    if (line.startsWith("!equals(UV_TARGET, ")) {
        const int at = line.lastIndexOf(spliced);
        return at < 0 ? QStringLiteral("a check of UV_TARGET without the value")
                      : literalFault(QByteArray(line).remove(at + 1, spliced.size() - 2));
    }
    return literalFault(line);
}

// The block that builds the project with uVision is fixed text but for the values of its
// first lines.
QString buildBlockFault(const QByteArray &line)
{
    static const QByteArray leads[] = {
        "UV_PROJECT = $$PWD/", "UV_BUILD_TARGET = ", "UV_INSTALLED = ",
        "CORVANE_CLI = ",      "CORVANE_TARGET = ",  "CORVANE_PACK_ROOT = "};
    if (line == "UV_BUILD_TARGET = $$UV_TARGET")
        return QString();
    for (const QByteArray &lead : leads) {
        if (line.startsWith(lead))
            return syntaxFault(line.mid(lead.size()));
    }
    return QString();
}

} // namespace

void checkLiteralValues(const QByteArray &pro, const QByteArray &banner)
{
    // A converted project file ends with the uVision build block; what comes before it is
    // values and the fixed lines around them.
    const int build = pro.indexOf("\r\n# Build with uVision\r\n");
    if (build >= 0 && !pro.endsWith("}\r\n" + QByteArray(Corvane::Fragments::closing)))
        fail("the .pro does not end with the uVision build block");
    const QList<QByteArray> lines = pro.mid(banner.size()).split('\n');
    int offset = banner.size();
    bool continued = false; // the line before ends a list line with its continuation
    for (QByteArray line : lines) {
        const bool inBuild = build >= 0 && offset > build;
        offset += line.size() + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        const QString fault = inBuild ? buildBlockFault(line) : syntaxFault(line);
        if (!fault.isEmpty())
            fail("the .pro has", fault + QStringLiteral(" in: ") + QString::fromUtf8(line));
        if (continued &&
            (line.startsWith("isEmpty(UV_TARGET)") || line.startsWith("equals(UV_TARGET") ||
             line.startsWith("!equals(UV_TARGET")))
            fail("a scope line continues a list:", QString::fromUtf8(line));
        continued = line.endsWith(" \\") || line.endsWith("\\ ");
    }
}

void fail(const char *what, const QString &detail)
{
    std::fprintf(stderr, "%s: %s %s\n", qPrintable(QCoreApplication::applicationName()), what,
                 qPrintable(detail));
    std::abort();
}

void checkPro(const QByteArray &pro, const QDateTime &time)
{
    const QByteArray banner = Corvane::Fragments::banner(time);
    if (!pro.startsWith(banner))
        fail("the .pro does not start with the banner");
    if (!pro.endsWith(QByteArray(Corvane::Fragments::closing)))
        fail("the .pro does not end with the closing lines");
    checkLiteralValues(pro, banner);
}

QByteArray withTrailingBlanks(const QByteArray &input)
{
    QByteArray out;
    out.reserve(input.size() + input.size() / 8 + 1);
    int start = 0;
    while (start < input.size()) {
        int end = input.indexOf('\n', start);
        const bool newline = end >= 0;
        if (!newline)
            end = input.size();
        int contentEnd = end;
        if (contentEnd > start && input.at(contentEnd - 1) == '\r')
            --contentEnd;
        out += input.mid(start, contentEnd - start);
        out += ' ';
        out += input.mid(contentEnd, end - contentEnd);
        if (newline)
            out += '\n';
        start = end + 1;
    }
    return out;
}

void structured(const QByteArray &input, QByteArray *pretty, QByteArray *compact)
{
    // Group files: a FileType before a FilePath, an IncludeInBuild after a GroupName or a
    // FilePath leaves files out.
    static const char *const names[] = {
        "TargetName", "Device",   "Define",         "IncludePath", "FilePath", "FileName", "Group",
        "GroupName",  "FileType", "IncludeInBuild", "ToolsetName", "uAC6",     "Cpu"};
    *pretty = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Project>\n";
    *compact = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Project>";
    const QList<QByteArray> lines = input.split('\n');
    for (const QByteArray &line : lines) {
        if (line.isEmpty())
            continue;
        const QByteArray name =
            names[static_cast<unsigned char>(line.at(0)) % (sizeof names / sizeof *names)];
        QByteArray value = line.mid(1);
        value.replace('\0', "").replace('\r', "");
        value.replace('&', "&amp;").replace('<', "&lt;").replace('>', "&gt;");
        const QByteArray element = '<' + name + '>' + value + "</" + name + '>';
        *pretty += "    " + element + '\n';
        *compact += element;
    }
    *pretty += "</Project>\n";
    *compact += "</Project>\n";
}

} // namespace FuzzChecks
