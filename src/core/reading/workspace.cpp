#include "reading/workspace.h"

#include "reading/projectlines.h"
#include "reading/projectvalues.h"

#include <QDir>

namespace Corvane {

namespace {

enum WorkspaceElement { PathAndName, NodeIsActive };

class WorkspaceVisitor : public ProjectVisitor
{
public:
    explicit WorkspaceVisitor(QVector<WorkspaceMember> &members) : m_members(members) {}

    void value(int element, const ScannedValue &value) override
    {
        if (element == NodeIsActive) {
            if (!m_members.isEmpty() && value.digit() == 1)
                m_members.last().active = true;
            return;
        }
        if (m_members.isEmpty() || !m_members.last().path.isEmpty())
            m_members.append(WorkspaceMember());
        m_members.last().path = cleanFilePath(value.text());
    }

    void startTag(QStringView name, QStringView, bool empty) override
    {
        if (empty || name != QLatin1String("project"))
            return;
        // A <project> without a path before this one is no member: its flags go with it.
        if (m_members.isEmpty() || !m_members.last().path.isEmpty())
            m_members.append(WorkspaceMember());
        else
            m_members.last() = WorkspaceMember();
    }

private:
    QVector<WorkspaceMember> &m_members;
};

} // namespace

WorkspaceReading readWorkspace(QIODevice &workspace)
{
    WorkspaceReading reading;
    WorkspaceVisitor visitor(reading.members);
    ProjectLineScanner scanner({scannedName("PathAndName"), scannedName("NodeIsActive")}, {},
                               {scannedName("project")});
    reading.outcome = scanner.scan(workspace, visitor);
    if (!reading.members.isEmpty() && reading.members.last().path.isEmpty())
        reading.members.removeLast();
    return reading;
}

QString memberProjectPath(const QString &workspaceDir, const QString &memberPath)
{
    if (QDir::isAbsolutePath(memberPath))
        return QDir::cleanPath(memberPath);
    return QDir::cleanPath(QDir(workspaceDir).filePath(memberPath));
}

} // namespace Corvane
