#ifndef CORVANE_NOTICE_H
#define CORVANE_NOTICE_H

#include <QStringList>
#include <QVector>

namespace Corvane {

// What a run tells the user besides its outcome: what the outputs lack (a pack, a file, a
// folder) and where they went. Data, so that each front end says it in its own form (the
// window's details, the command line's "PROJECT_FILE: text", an IDE's issue) with the same
// words, and so that one finding for several targets is told once.
struct Notice
{
    enum class Kind {
        // Packs (args: "Vendor.Name", its version ...; the pack root as the user reads it).
        PackNotInstalled,   // pack, version (empty: any), root
        PackUsedInstead,    // pack, version, root, version used
        PackUnreadable,     // pack, version, why
        DeviceNotDescribed, // device, pack, version
        GeneratorMissing,   // generator description
        // Files the .pro lists, held against the disk.
        FileMissing,          // path
        FileOnDiskAs,         // path, the path on disk in other letter case
        FolderOnDiskAs,       // include entry, the folder on disk in other letter case
        MemberOnDiskAs,       // workspace member, the project on disk in other letter case
        MoreFilesMissing,     // how many
        FolderMissing,        // include entry
        MoreFoldersMissing,   // how many
        UnknownEncoding,      // path
        MoreUnknownEncodings, // how many
        // Files written beside the .pro.
        SharedSettingsForeign, // file name, encoding
        SharedSettingsFailed,  // file name, encoding
        DatabaseEmpty,         // target, toolset as the user reads it
        DatabasePlaced,        // folder, whose: "the project and its sources" ...
        DatabaseBeside,        // why, folder
        DatabaseReplaced,      // path
    };

    Kind kind;
    QStringList args;
    // The targets it concerns; empty: the project as a whole.
    QStringList targets;

    // Most notices tell of something missing; a few only say where something went.
    bool isRemark() const { return kind == Kind::DatabasePlaced; }
    bool sameFinding(const Notice &other) const { return kind == other.kind && args == other.args; }
};

using Notices = QVector<Notice>;

// The sentence, with the targets it concerns: "... (targets "A", "B" and 2 more)".
QString noticeText(const Notice &notice);
QStringList noticeTexts(const Notices &notices);

// Adds the finding, or the target to the same finding told before.
void addNotice(Notices &notices, const Notice &notice);

} // namespace Corvane

#endif
