#include "compiledb/compilecommands.h"

#include "common/filekind.h"
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

// A file whose FileType says otherwise than its suffix is read as uVision compiles it.
Language languageBySuffix(const QString &path)
{
    switch (fileKind(path)) {
    case FileKind::C:
        return Language::C;
    case FileKind::Cpp:
        return Language::Cpp;
    default:
        return Language::None;
    }
}

// FileType 1 is C, 8 C++, 2 assembler; a file uVision adds goes by its suffix.
Language languageOf(const CompiledFile &file)
{
    if (file.fileType == UvC)
        return Language::C;
    if (file.fileType == UvCpp)
        return Language::Cpp;
    if (file.fileType == UvAssembler)
        return Language::None;
    return languageBySuffix(file.path);
}

} // namespace

QString objectFolder(const Target *target)
{
    QString folder = target ? target->outputDirectory.trimmed() : QString();
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return folder.isEmpty() ? QStringLiteral(".") : QDir::cleanPath(folder);
}

QJsonArray compileCommands(const ResolvedTarget &resolved, const QString &projectDir,
                           const QString &mdkRoot, Notices *notices)
{
    QJsonArray entries;
    const Target *target = resolved.target;
    if (target && !target->toolset.isEmpty() && !target->armToolset()) {
        notices->append(
            {Notice::Kind::DatabaseEmpty,
             {target->name,
              target->toolset == QLatin1String("MCS-51") ? QStringLiteral("C51") : target->toolset},
             {}});
        return entries;
    }
    const CompilerView view = compilerView(resolved);

    // What every entry has, before the language standard and after it.
    const QStringList flags = armTargetFlags(target ? target->cpu : Cpu());
    QStringList keywords;
    if (target && target->armCompiler5()) {
        // armcc takes __declspec(noreturn) in any file, clang with -fdeclspec.
        keywords << QStringLiteral("-fdeclspec");
        for (const QString &keyword : armCompiler5Keywords())
            keywords << QStringLiteral("-D") + keyword;
    }
    QStringList system;
    if (!mdkRoot.isEmpty() && target && target->armToolset() && !target->gnuToolset()) {
        const QString compiler =
            target->armCompiler6 ? QStringLiteral("ARMCLANG") : QStringLiteral("ARMCC");
        const QString include =
            mdkRoot + QStringLiteral("/ARM/") + compiler + QStringLiteral("/include");
        if (QFileInfo(include).isDir())
            system << QStringLiteral("-isystem") << include;
    }
    // A file's defines and include folders: the target's, then its group's and its own.
    const auto define = [](const QString &item) -> QString {
        // Double quotes that pair up group a value, as for qmake: they are not the value's.
        QString text = item;
        if (text.count(QLatin1Char('"')) % 2 == 0)
            text.remove(QLatin1Char('"'));
        return QStringLiteral("-D") + text;
    };
    QStringList targetDefines;
    for (const QString &item : view.defines)
        targetDefines << define(item);
    QStringList targetIncludes;
    for (const QString &folder : view.includeFolders)
        targetIncludes << QStringLiteral("-I") + folder;
    const QSet<QString> targetDefined(view.defines.cbegin(), view.defines.cend());
    const QSet<QString> targetFolders(view.includeFolders.cbegin(), view.includeFolders.cend());
    const auto values = [&](const CompiledFile &file) {
        QStringList out = targetDefines;
        for (const QString &item : file.defines) {
            if (!targetDefined.contains(item))
                out << define(item);
        }
        out << targetIncludes;
        for (const QString &folder : file.includeFolders) {
            if (!targetFolders.contains(folder))
                out << QStringLiteral("-I") + folder;
        }
        return out;
    };

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
            target ? languageStandard(*target, file.settings, language == Language::Cpp)
                   : QString();
        if (!standard.isEmpty())
            arguments << QStringLiteral("-std=") + standard;
        if (target)
            arguments << typeFlags(*target, file.settings);
        arguments << keywords << values(file) << miscFlags(file.settings.miscControls) << system;
        if (languageBySuffix(file.path) != language)
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
