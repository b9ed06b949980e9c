#ifndef CORVANE_PROJECTCONVERTER_H
#define CORVANE_PROJECTCONVERTER_H

#include "common/conversionoptions.h"
#include "common/conversionstatus.h"
#include "compiledb/databasefile.h"
#include "model/project.h"
#include "packs/resolvedtarget.h"
#include "reading/textencoding.h"

#include <QDateTime>
#include <QIODevice>

#include <memory>

namespace Corvane {

class FileCheck;
class HeaderScanner;

// Turns the text of a uVision project into the text of a qmake project: the project is read
// once into its model, what uVision adds to each target is found, and the .pro is rendered
// from both, each target in a scope of its own when there are several.
class ProjectConverter
{
public:
    // projectDir anchors relative paths; time goes into the banner.
    ProjectConverter(const QString &projectDir, const QDateTime &time);
    ~ProjectConverter();

    // The target a multi-target .pro selects when UV_TARGET is not set, by name or by
    // number (1 for the first); empty for the first target.
    void setDefaultTarget(const QString &target) { m_defaultTarget = target; }
    // Where CMSIS packs are installed, empty for none, and where that came from for the
    // notices ("CMSIS_PACK_ROOT" …).
    void setPackRoot(const QString &root, const QString &origin = QString())
    {
        m_packRoot = root;
        m_packRootOrigin = origin;
    }
    // Where the index of the pack root's descriptions is kept; empty for the user's cache
    // folder (PackIndex::fileFor).
    void setPackIndex(const QString &file) { m_packIndex = file; }
    // The project's file name and the Keil installations ("D:/Keil_v5", empty for none),
    // for the block that builds it with uVision (without a name there is no such block) and
    // for the installations' own header folders.
    void setUvisionBuild(const QString &projectFile, const QString &mdkRoot, const QString &c51Root)
    {
        m_projectFile = projectFile;
        m_mdkRoot = mdkRoot;
        m_c51Root = c51Root;
    }

    // What Build passes to corvane-cli when it writes the .pro again.
    void setRewrite(const RewriteOptions &rewrite) { m_rewrite = rewrite; }

    // Reads the project from its current position to its end, once, and writes the whole
    // .pro text. Returns Converted, ProjectReadFailed, UnknownTarget or OutputFailed.
    ConversionStatus convert(QIODevice &project, QIODevice &output);

    // The project as convert() read it.
    const Project &project() const { return m_project; }
    // What targets asked for and could not be found, once convert() has run: packs, files
    // and include folders not on disk, text in encodings an editor cannot tell.
    Notices notices() const;
    // The compilation database of the target the .pro selects by default, rendered from the
    // same reading once convert() has run; what it cannot hold goes to `notices`.
    ProjectEntries compileCommands(Notices *notices) const;
    // How the sources and headers the .pro lists are encoded, once convert() has run.
    SourceEncodings encodings() const;

private:
    void finishFileCheck(const HeaderScanner &headers);

    QString m_projectDir;
    QDateTime m_time;
    QString m_defaultTarget;
    QString m_packRoot;
    QString m_packRootOrigin;
    QString m_packIndex;
    QString m_projectFile;
    QString m_mdkRoot;
    QString m_c51Root;
    RewriteOptions m_rewrite;
    Project m_project;
    ResolvedProject m_resolved;
    Notices m_caseNotices;
    std::unique_ptr<FileCheck> m_files;
};

} // namespace Corvane

#endif
