#include "compiledb/compilecommands.h"

#include "compiledb/armtarget.h"
#include "model/compilerkeywords.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QSet>

namespace Corvane {

namespace {

enum class Language { None, C, Cpp };

// FileType 1 is C, 8 C++, 2 assembler; a file uVision adds goes by its suffix.
Language languageOf(const CompiledFile &file)
{
    if (file.fileType == 1)
        return Language::C;
    if (file.fileType == 8)
        return Language::Cpp;
    if (file.fileType == 2)
        return Language::None;
    const QString suffix = QFileInfo(file.path).suffix().toLower();
    if (suffix == QLatin1String("c"))
        return Language::C;
    if (suffix == QLatin1String("cpp") || suffix == QLatin1String("cc") ||
        suffix == QLatin1String("cxx") || suffix == QLatin1String("c++"))
        return Language::Cpp;
    return Language::None;
}

// A file whose FileType says otherwise than its suffix is read as uVision compiles it.
bool suffixSays(Language language, const QString &path)
{
    return languageOf({path, 0}) == language;
}

} // namespace

QString objectFolder(const Target *target)
{
    QString folder = target ? target->outputDirectory.trimmed() : QString();
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return folder.isEmpty() ? QStringLiteral(".") : QDir::cleanPath(folder);
}

QJsonArray compileCommands(const TargetView &view, const QString &projectDir,
                           const QString &mdkRoot, QStringList *notices)
{
    QJsonArray entries;
    const Target *target = view.target;
    if (target && !target->toolset.isEmpty() && !target->armToolset()) {
        notices->append(QStringLiteral("compile_commands.json has no entries: target \"%1\" is "
                                       "built with %2, which clang does not compile")
                            .arg(target->name, target->toolset == QLatin1String("MCS-51")
                                                   ? QStringLiteral("C51")
                                                   : target->toolset));
        return entries;
    }

    // What every entry has, before the language standard and after it.
    const QStringList flags = armTargetFlags(target ? target->cpu : QString());
    QStringList common;
    if (target && target->armCompiler5()) {
        // armcc takes __declspec(noreturn) in any file, clang with -fdeclspec.
        common << QStringLiteral("-fdeclspec");
        for (const QString &keyword : armCompiler5Keywords())
            common << QStringLiteral("-D") + keyword;
    }
    for (const QString &define : view.defines) {
        // Double quotes that pair up group a value, as for qmake: they are not the value's.
        QString text = define;
        if (text.count(QLatin1Char('"')) % 2 == 0)
            text.remove(QLatin1Char('"'));
        common << QStringLiteral("-D") + text;
    }
    for (const QString &folder : view.includeFolders)
        common << QStringLiteral("-I") + folder;
    if (!mdkRoot.isEmpty() && target) {
        const QString compiler =
            target->armCompiler6 ? QStringLiteral("ARMCLANG") : QStringLiteral("ARMCC");
        const QString include =
            mdkRoot + QStringLiteral("/ARM/") + compiler + QStringLiteral("/include");
        if (QFileInfo(include).isDir())
            common << QStringLiteral("-isystem") << include;
    }

    const QString directory = QDir::fromNativeSeparators(QDir(projectDir).absolutePath());
    // Two projects in one folder tell their entries apart by the objects they compile to.
    const QString objects = objectFolder(target);
    QSet<QString> seen;
    for (const CompiledFile &file : view.sources) {
        const Language language = languageOf(file);
        if (language == Language::None || seen.contains(file.path))
            continue;
        seen.insert(file.path);
        QStringList arguments = QStringList{QStringLiteral("clang")} + flags;
        const QString standard =
            target ? languageStandard(*target, language == Language::Cpp) : QString();
        if (!standard.isEmpty())
            arguments << QStringLiteral("-std=") + standard;
        arguments << common;
        if (!suffixSays(language, file.path))
            arguments << QStringLiteral("-x")
                      << (language == Language::C ? QStringLiteral("c") : QStringLiteral("c++"));
        // A file named like an option stays a file.
        arguments << QStringLiteral("-c")
                  << (file.path.startsWith(QLatin1Char('-')) ? QStringLiteral("./") + file.path
                                                             : file.path);
        QJsonObject entry;
        entry.insert(QStringLiteral("directory"), directory);
        entry.insert(QStringLiteral("file"), file.path);
        entry.insert(QStringLiteral("arguments"), QJsonArray::fromStringList(arguments));
        entry.insert(QStringLiteral("output"),
                     QDir::cleanPath(objects + QLatin1Char('/') +
                                     QFileInfo(file.path).completeBaseName() +
                                     QLatin1String(".o")));
        entries.append(entry);
    }
    return entries;
}

} // namespace Corvane
