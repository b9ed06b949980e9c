#ifndef CORVANE_WORKSPACECONVERSION_H
#define CORVANE_WORKSPACECONVERSION_H

#include "conversion/conversion.h"

#include <QString>
#include <QVector>

namespace Corvane {

struct WorkspaceMemberResult
{
    // The member's project file as the run opened it: the workspace's folder as given
    // (relative to the current folder, or absolute) joined with the member's path.
    QString path;
    bool active = false;
    ConversionResult result;
    // OutputTaken: the member that writes the .pro this one would.
    QString outputOwner;

    // What a failure is told as: the message, and for OutputTaken whose .pro it is.
    QString failure() const;
};

struct WorkspaceResult
{
    ConversionStatus status = ConversionStatus::EmptyPath;
    // Where the workspace's .pro goes; empty when the path was rejected before it was formed.
    QString outputPath;
    // Each member once, in workspace order.
    QVector<WorkspaceMemberResult> members;
    // What the user must be told about the workspace's own files (its .pro.shared, its
    // members' compile_commands.json).
    Notices notices;
    // The workspace's .pro.shared, when its members' sources need one.
    WrittenFile shared;
    // With --compile-commands: the members' compile_commands.json, one for all of them where
    // clangd finds it from each of their sources (see writeCompileCommands()).
    QVector<WrittenFile> databases;

    bool succeeded() const { return status == ConversionStatus::Converted; }
    QString message() const { return statusMessage(status); }
};

// Whether a path names a uVision multi-project workspace: its name ends in ".uvmpw".
bool isWorkspacePath(const QString &path);

// Converts every member of a workspace as convertProject() would on its own (the options'
// target aside, which is for single projects), then writes a qmake subdirs project of the
// members that converted beside the workspace, and its .pro.shared by the sources of those
// members together (Qt Creator takes the editor's codec from the project opened). Succeeds
// when at least one member converted and the subdirs project is in place; when none
// converted nothing is written, and the status is the first member's failure (WrongPath
// for a workspace that names no project). The subdirs project is WS.pro beside WS.uvmpw,
// or WS_workspace.pro when a member's .pro is WS.pro (WS.uvprojx beside it). A member whose
// .pro would replace the workspace or another member's fails with WrongPath; a member named
// twice is converted once.
WorkspaceResult convertWorkspace(const QString &workspacePath,
                                 const ConversionOptions &options = ConversionOptions());

} // namespace Corvane

#endif
