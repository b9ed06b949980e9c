#include "common/notice.h"

namespace Corvane {

namespace {

QString sentence(const Notice &notice)
{
    const QStringList &a = notice.args;
    const auto arg = [&a](int i) { return a.value(i); };
    switch (notice.kind) {
    case Notice::Kind::PackNotInstalled:
        return QStringLiteral("pack %1 %2 is not installed in %3")
            .arg(arg(0), arg(1).isEmpty() ? QStringLiteral("(any version)") : arg(1), arg(2));
    case Notice::Kind::PackUsedInstead:
        return QStringLiteral("pack %1 %2 is not installed in %3; %4 is used instead")
                   .arg(arg(0), arg(1), arg(2), arg(3)) +
               (arg(4).isEmpty() ? QString() : QStringLiteral(": ") + arg(4));
    case Notice::Kind::PackUnreadable:
        return QStringLiteral("the description of pack %1 %2 cannot be read: %3")
            .arg(arg(0), arg(1), arg(2));
    case Notice::Kind::DeviceNotDescribed:
        return QStringLiteral("device %1 is not described by pack %2 %3")
            .arg(arg(0), arg(1), arg(2));
    case Notice::Kind::GeneratorMissing:
        return QStringLiteral("generator description %1 is not on disk; the folders of its "
                              "components are left out")
            .arg(arg(0));
    case Notice::Kind::FileMissing:
        return QStringLiteral("file %1 is not on disk").arg(arg(0));
    case Notice::Kind::FileOnDiskAs:
        return QStringLiteral("file %1 is on disk as %2, which is used").arg(arg(0), arg(1));
    case Notice::Kind::FolderOnDiskAs:
        return QStringLiteral("include folder %1 is on disk as %2, which is used")
            .arg(arg(0), arg(1));
    case Notice::Kind::MemberOnDiskAs:
        return QStringLiteral("member %1 is on disk as %2, which is used").arg(arg(0), arg(1));
    case Notice::Kind::MoreFilesMissing:
        return QStringLiteral("and %1 more files are not on disk").arg(arg(0));
    case Notice::Kind::FolderMissing:
        return QStringLiteral("include folder %1 is not on disk").arg(arg(0));
    case Notice::Kind::MoreFoldersMissing:
        return QStringLiteral("and %1 more include folders are not on disk").arg(arg(0));
    case Notice::Kind::UnknownEncoding:
        return QStringLiteral("file %1 is neither UTF-8, GBK nor Windows-1252 text").arg(arg(0));
    case Notice::Kind::MoreUnknownEncodings:
        return QStringLiteral("and %1 more files are neither UTF-8, GBK nor Windows-1252 text")
            .arg(arg(0));
    case Notice::Kind::SharedSettingsForeign:
        return QStringLiteral("the sources are %2, but %1 was not written by Corvane and stays as "
                              "it is; choose %2 as the project's text encoding in Qt Creator")
            .arg(arg(0), arg(1));
    case Notice::Kind::SharedSettingsFailed:
        return QStringLiteral("%1 cannot be written or removed; the sources are %2")
            .arg(arg(0), arg(1));
    case Notice::Kind::DatabaseEmpty:
        return QStringLiteral("compile_commands.json has no entries: target \"%1\" is built with "
                              "%2, which clang does not compile")
            .arg(arg(0), arg(1));
    case Notice::Kind::DatabasePlaced:
        return QStringLiteral("compile_commands.json is in %1, the deepest folder that holds %2: "
                              "clangd finds it from each of them")
            .arg(arg(0), arg(1));
    case Notice::Kind::DatabaseBeside:
        return QStringLiteral("%1, so compile_commands.json is beside the project, where clangd "
                              "finds it for the sources above it only with "
                              "--compile-commands-dir=%2")
            .arg(arg(0), arg(1));
    case Notice::Kind::DatabaseReplaced:
        return QStringLiteral("%1 was not a compilation database; it is replaced").arg(arg(0));
    }
    return QString();
}

} // namespace

QString noticeText(const Notice &notice)
{
    QStringList targets = notice.targets;
    targets.removeAll(QString());
    if (targets.isEmpty())
        return sentence(notice);
    QStringList quoted;
    for (const QString &name : targets.mid(0, 3))
        quoted.append(QLatin1Char('"') + name + QLatin1Char('"'));
    QString named = quoted.join(QStringLiteral(", "));
    if (targets.size() > 3)
        named += QStringLiteral(" and %1 more").arg(targets.size() - 3);
    return sentence(notice) + QStringLiteral(" (target%1 %2)")
                                  .arg(targets.size() > 1 ? QStringLiteral("s") : QString(), named);
}

QStringList noticeTexts(const Notices &notices)
{
    QStringList texts;
    for (const Notice &notice : notices)
        texts.append(noticeText(notice));
    return texts;
}

void addNotice(Notices &notices, const Notice &notice)
{
    for (Notice &told : notices) {
        if (told.sameFinding(notice)) {
            for (const QString &target : notice.targets) {
                if (!told.targets.contains(target))
                    told.targets.append(target);
            }
            return;
        }
    }
    notices.append(notice);
}

} // namespace Corvane
