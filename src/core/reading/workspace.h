#ifndef CORVANE_WORKSPACE_H
#define CORVANE_WORKSPACE_H

#include "reading/linereader.h"

#include <QIODevice>
#include <QString>
#include <QVector>

namespace Corvane {

// A project of a uVision multi-project workspace (.uvmpw), as the workspace names it.
struct WorkspaceMember
{
    // The <PathAndName> value: decoded, trimmed, outer double quotes removed, '/'
    // separators. Relative to the workspace's folder unless absolute.
    QString path;
    // <NodeIsActive>1</NodeIsActive>: the project uVision builds and debugs.
    bool active = false;
};

inline bool operator==(const WorkspaceMember &a, const WorkspaceMember &b)
{
    return a.path == b.path && a.active == b.active;
}

inline bool operator!=(const WorkspaceMember &a, const WorkspaceMember &b)
{
    return !(a == b);
}

struct WorkspaceReading
{
    ReadOutcome outcome = ReadOutcome::EndOfInput;
    // In workspace order, as written: a project named twice is here twice.
    QVector<WorkspaceMember> members;
};

// Reads a workspace line by line, as a project is read (see ProjectLineScanner): one-line
// XML, CRLF or LF, a BOM, memory bounded by the longest line. Each <project> element is a
// member; a <PathAndName> outside one, or a second inside one, starts another.
WorkspaceReading readWorkspace(QIODevice &workspace);

// The project file a member names, for a workspace in workspaceDir: the member's path
// resolved against that folder unless absolute, "." and ".." steps removed. Relative when
// workspaceDir is.
QString memberProjectPath(const QString &workspaceDir, const QString &memberPath);

} // namespace Corvane

#endif
