#include "projectsurvey.h"

#include "fragments.h"
#include "projectlines.h"

namespace Corvane {

namespace {

bool isHeaderName(const QString &path)
{
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return false;
    const QString suffix = name.mid(dot + 1).toLower();
    return suffix == QLatin1String("h") || suffix == QLatin1String("hh") ||
           suffix == QLatin1String("hpp") || suffix == QLatin1String("hxx") ||
           suffix == QLatin1String("h++");
}

// Where a file the target builds goes, by its FileType: 1 C, 2 assembler, 8 C++ (and any
// other) are compiled; 5 is text (headers, documents), 3 an object, 4 a library.
FileList listFor(const QString &fileType, const QString &path)
{
    if (fileType == QLatin1String("5"))
        return isHeaderName(Fragments::cleanFilePath(path)) ? FileList::Headers
                                                            : FileList::DistFiles;
    if (fileType == QLatin1String("3") || fileType == QLatin1String("4"))
        return FileList::DistFiles;
    return FileList::Sources;
}

class SurveyVisitor : public ProjectVisitor
{
public:
    explicit SurveyVisitor(ProjectSurvey &survey) : m_survey(survey) {}

    void value(Element element, const QString &text) override
    {
        const QString value = text.trimmed();
        if (value.isEmpty())
            return;
        if (element == Element::TargetName) {
            Target target;
            target.name = value;
            m_survey.targets.append(target);
            m_options = Options::None;
            m_groupLeftOut = false;
            m_fileType.clear();
            return;
        }
        if (element == Element::FileType) {
            m_fileType = value;
            return;
        }
        if (element == Element::IncludeInBuild) {
            includeInBuild(value);
            return;
        }
        if (element == Element::Instance) {
            if (m_inRte && m_path.size() >= 2 && m_path.last() == QLatin1String("instance") &&
                m_path.at(m_path.size() - 2) == QLatin1String("file") &&
                !m_survey.rte.files.isEmpty())
                m_survey.rte.files.last().instance = value;
            return;
        }
        if (m_survey.targets.isEmpty())
            m_survey.targets.append(Target());
        Target &target = m_survey.targets.last();
        // The first value of each kind in a target is its own; the debug options of old
        // projects repeat some of them.
        auto set = [&value](QString &field) {
            if (field.isEmpty())
                field = value;
        };
        switch (element) {
        case Element::ToolsetName:
            set(target.toolset);
            break;
        case Element::Device:
            set(target.device);
            break;
        case Element::PackID:
            set(target.packId);
            break;
        case Element::RegisterFile:
            set(target.registerFile);
            break;
        case Element::RegisterFilePath:
            set(target.registerFilePath);
            break;
        case Element::uAC6:
            target.armCompiler6 = value != QLatin1String("0");
            break;
        case Element::Cpu:
            set(target.cpu);
            break;
        case Element::FilePath:
            // FileType comes before the path, the file's own options after it.
            target.files.append(m_groupLeftOut ? FileList::DistFiles : listFor(m_fileType, value));
            m_fileType.clear();
            break;
        default:
            break;
        }
    }

    void startTag(QStringView name, QStringView rawAttributes, bool empty) override
    {
        if (!m_inRte) {
            if (name == QLatin1String("RTE") && !empty) {
                m_inRte = true;
                m_survey.rte.present = true;
                m_path.clear();
            } else if (name == QLatin1String("Group")) {
                m_groupLeftOut = false;
                m_options = Options::None;
            } else if (name == QLatin1String("GroupOption")) {
                m_options = Options::Group;
            } else if (name == QLatin1String("FileOption")) {
                m_options = Options::File;
            } else if (name == QLatin1String("TargetOption")) {
                m_options = Options::Target;
            }
            return;
        }
        const QString parent = m_path.isEmpty() ? QString() : m_path.last();
        const QString grandParent = m_path.size() >= 2 ? m_path.at(m_path.size() - 2) : QString();
        RteSection &rte = m_survey.rte;
        if (name == QLatin1String("component") && parent == QLatin1String("components")) {
            rte.components.append(RteComponent());
            rte.components.last().attributes = parseAttributes(rawAttributes);
        } else if (name == QLatin1String("file") && parent == QLatin1String("files")) {
            rte.files.append(RteFile());
            rte.files.last().attributes = parseAttributes(rawAttributes);
        } else if (name == QLatin1String("api") && parent == QLatin1String("apis")) {
            rte.apis.append(RteApi());
            rte.apis.last().attributes = parseAttributes(rawAttributes);
        } else if (name == QLatin1String("gpdsc") && parent == QLatin1String("gpdscs")) {
            rte.gpdscs.append(RteGpdsc());
            rte.gpdscs.last().name = parseAttributes(rawAttributes).value(QStringLiteral("name"));
        } else if (name == QLatin1String("component") && parent == QLatin1String("file") &&
                   !rte.files.isEmpty()) {
            rte.files.last().component = parseAttributes(rawAttributes);
        } else if (name == QLatin1String("instance") && parent == QLatin1String("file") &&
                   !rte.files.isEmpty()) {
            if (parseAttributes(rawAttributes).value(QStringLiteral("removed")) ==
                QLatin1String("1"))
                rte.files.last().removed = true;
        } else if (name == QLatin1String("package")) {
            if (PackRef *package = packageOf(parent))
                *package = packRef(parseAttributes(rawAttributes));
        } else if (name == QLatin1String("targetInfos")) {
            if (TargetInfos *infos = targetInfosOf(parent))
                infos->listed = true;
        } else if (name == QLatin1String("targetInfo") && parent == QLatin1String("targetInfos")) {
            if (TargetInfos *infos = targetInfosOf(grandParent)) {
                const Attributes attributes = parseAttributes(rawAttributes);
                const QString target = attributes.value(QStringLiteral("name"));
                if (attributes.value(QStringLiteral("excluded")) == QLatin1String("1"))
                    infos->excluded.append(target);
                else
                    infos->included.append(target);
            }
        }
        if (!empty)
            m_path.append(name.toString());
    }

    void endTag(QStringView name) override
    {
        if (!m_inRte)
            return;
        // Closing tags without a matching opening tag are tolerated: close up to the match.
        const int open = m_path.lastIndexOf(name.toString());
        if (open >= 0)
            m_path.erase(m_path.begin() + open, m_path.end());
        else if (name == QLatin1String("RTE"))
            m_inRte = false;
    }

    bool wantsEveryLine() const override { return m_inRte; }

private:
    // <CommonProperty><IncludeInBuild> of the options last opened. 0 leaves the file, or
    // every file of the group, out of the target's build; 1 and 2 ("as the group says")
    // keep it. The target's own value is no file's.
    void includeInBuild(const QString &value)
    {
        const bool leftOut = value == QLatin1String("0");
        if (m_options == Options::Group) {
            m_groupLeftOut = leftOut;
        } else if (m_options == Options::File && leftOut && !m_survey.targets.isEmpty() &&
                   !m_survey.targets.last().files.isEmpty()) {
            m_survey.targets.last().files.last() = FileList::DistFiles;
        }
    }

    static PackRef packRef(const Attributes &attributes)
    {
        PackRef ref;
        ref.vendor = attributes.value(QStringLiteral("vendor"));
        ref.name = attributes.value(QStringLiteral("name"));
        ref.version = attributes.value(QStringLiteral("version"));
        return ref;
    }

    PackRef *packageOf(const QString &item)
    {
        RteSection &rte = m_survey.rte;
        if (item == QLatin1String("component") && m_path.size() >= 2 &&
            m_path.at(m_path.size() - 2) == QLatin1String("components") &&
            !rte.components.isEmpty())
            return &rte.components.last().package;
        if (item == QLatin1String("file") && !rte.files.isEmpty())
            return &rte.files.last().package;
        if (item == QLatin1String("api") && !rte.apis.isEmpty())
            return &rte.apis.last().package;
        return nullptr;
    }

    // The targetInfos of the item `item` names (the element around <targetInfos>).
    TargetInfos *targetInfosOf(const QString &item)
    {
        RteSection &rte = m_survey.rte;
        // <targetInfos> sits directly in the item, which sits in its list.
        const int itemAt = m_path.lastIndexOf(item);
        const QString list = itemAt > 0 ? m_path.at(itemAt - 1) : QString();
        if (item == QLatin1String("component") && list == QLatin1String("components") &&
            !rte.components.isEmpty())
            return &rte.components.last().targets;
        if (item == QLatin1String("file") && !rte.files.isEmpty())
            return &rte.files.last().targets;
        if (item == QLatin1String("api") && !rte.apis.isEmpty())
            return &rte.apis.last().targets;
        if (item == QLatin1String("gpdsc") && !rte.gpdscs.isEmpty())
            return &rte.gpdscs.last().targets;
        return nullptr;
    }

    ProjectSurvey &m_survey;
    // Whose options are being read: the target's, a group's or a file's.
    enum class Options { None, Target, Group, File } m_options = Options::None;
    bool m_groupLeftOut = false;
    QString m_fileType; // of the file being read, until its FilePath
    bool m_inRte = false;
    QStringList m_path; // open elements inside <RTE>
};

} // namespace

QStringList ProjectSurvey::targetNames() const
{
    QStringList names;
    for (const Target &target : targets) {
        if (!target.name.isEmpty())
            names.append(target.name);
    }
    return names;
}

ReadOutcome surveyProject(QIODevice &project, ProjectSurvey &survey)
{
    ProjectLineScanner scanner({Element::TargetName, Element::ToolsetName, Element::Device,
                                Element::PackID, Element::RegisterFile, Element::RegisterFilePath,
                                Element::uAC6, Element::Cpu, Element::Instance, Element::FileType,
                                Element::FilePath, Element::IncludeInBuild},
                               {"RTE", "Group", "GroupOption", "FileOption", "TargetOption"});
    SurveyVisitor visitor(survey);
    return scanner.scan(project, visitor);
}

} // namespace Corvane
