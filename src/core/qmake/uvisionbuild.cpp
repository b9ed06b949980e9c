#include "qmake/uvisionbuild.h"

#include "qmake/fragments.h"

#include <QFile>

#include <algorithm>

// The library is static: its resources are registered by hand, outside any namespace.
static void initResource()
{
    Q_INIT_RESOURCE(uvisionbuild);
}

namespace Corvane {

namespace {

// The block's text, uvisionbuild.pri in the sources: its comments (the lead), then what is
// the same for every project (the body); the project's values go between them. Lines end
// in "\r\n", as every line of the .pro does.
struct BlockText
{
    QByteArray lead;
    QByteArray body;
};

const BlockText &blockText()
{
    static const BlockText text = [] {
        initResource();
        QFile file(QStringLiteral(":/corvane/uvisionbuild.pri"));
        QByteArray pri = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        pri.replace("\r\n", "\n").replace('\n', "\r\n");
        const int body = pri.indexOf("!qtc_run {");
        return BlockText{"\r\n" + pri.left(body), pri.mid(body)};
    }();
    return text;
}

QByteArray line(const char *name, const QString &value,
                Fragments::ValueSyntax syntax = Fragments::ValueSyntax::Literal)
{
    return QByteArray(name) + " = " + Fragments::qmakeValue(value, syntax).toUtf8() + "\r\n";
}

} // namespace

QByteArray UvisionBuild::block() const
{
    QByteArray out = blockText().lead;
    out += "UV_PROJECT = $$PWD/" + Fragments::qmakeValue(projectFile).toUtf8() + "\r\n";
    if (selectedByUvTarget)
        out += "UV_BUILD_TARGET = $$UV_TARGET\r\n";
    else if (!target.isEmpty())
        out += line("UV_BUILD_TARGET", target, Fragments::ValueSyntax::Quoted);
    if (!installation.isEmpty())
        out += line("UV_INSTALLED", installation + QLatin1String("/UV4/UV4.exe"));
    if (!rewrite.converter.isEmpty())
        out += line("CORVANE_CLI", rewrite.converter);
    if (!rewrite.target.isEmpty())
        out += line("CORVANE_TARGET", rewrite.target, Fragments::ValueSyntax::Quoted);
    if (!rewrite.packRoot.isEmpty())
        out += line("CORVANE_PACK_ROOT", rewrite.packRoot);
    if (!rewrite.compileCommandsDir.isEmpty())
        out += line("CORVANE_COMPILE_COMMANDS_DIR", rewrite.compileCommandsDir);
    else if (rewrite.compileCommands)
        out += "CORVANE_COMPILE_COMMANDS = 1\r\n";
    out += blockText().body;
    return out;
}

QString buildingInstallation(const QList<Target> &targets, const QString &mdkRoot,
                             const QString &c51Root)
{
    const bool c51Only = !targets.isEmpty() &&
                         std::all_of(targets.cbegin(), targets.cend(), [](const Target &target) {
                             return target.toolset == QLatin1String("MCS-51");
                         });
    const QString &first = c51Only ? c51Root : mdkRoot;
    return first.isEmpty() ? (c51Only ? mdkRoot : c51Root) : first;
}

} // namespace Corvane
