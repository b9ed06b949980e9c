#include "model/projectreader.h"

#include "reading/projectlines.h"
#include "reading/projectvalues.h"

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

// FileType: 1 C, 2 assembler, 8 C++ (and any other) are compiled; 5 is text (headers,
// documents), 3 an object, 4 a library.
enum FileType { Object = 3, Library = 4, Text = 5 };

int fileTypeOf(const char *data, qsizetype size)
{
    return size == 1 && data[0] >= '0' && data[0] <= '9' ? data[0] - '0' : 0;
}

class ReadingVisitor : public ProjectVisitor
{
public:
    explicit ReadingVisitor(Project &project) : m_project(project) {}

    void value(Element element, const QString &text) override
    {
        const QString value = text.trimmed();
        if (value.isEmpty())
            return;
        if (element == Element::TargetName) {
            Target target;
            target.name = value;
            m_project.targets.append(target);
            m_options = Options::Target;
            m_cOptions = true;
            m_groupLeftOut = false;
            m_fileType = 0;
            return;
        }
        if (element == Element::GroupName) {
            groupStarts();
            return;
        }
        if (element == Element::SwStkChk) {
            m_cOptions = false;
            return;
        }
        const bool cOption = element == Element::MiscControls || element == Element::uC99 ||
                             element == Element::v6Lang;
        if (cOption && !m_cOptions)
            return;
        if (element == Element::FileType) {
            const QByteArray type = value.toLatin1();
            m_fileType = fileTypeOf(type.constData(), type.size());
            return;
        }
        if (element == Element::IncludeInBuild) {
            includeInBuild(value == QLatin1String("0"));
            return;
        }
        if (element == Element::Instance) {
            if (m_inRte && m_path.size() >= 2 && m_path.last() == QLatin1String("instance") &&
                m_path.at(m_path.size() - 2) == QLatin1String("file") &&
                !m_project.rte.files.isEmpty())
                m_project.rte.files.last().instance = value;
            return;
        }
        Target &target = currentTarget();
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
            target.values.append({TargetValue::Device, FileList::Sources, value});
            break;
        case Element::Define:
            target.values.append({TargetValue::Define, FileList::Sources, value});
            break;
        case Element::IncludePath:
            target.values.append({TargetValue::IncludePath, FileList::Sources, value});
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
            file(cleanFilePath(value));
            break;
        case Element::MiscControls:
            set(target.cMiscControls);
            break;
        case Element::uC99:
            target.c99 = value == QLatin1String("1");
            break;
        case Element::v6Lang:
            target.v6Lang = value.toInt();
            break;
        case Element::OutputDirectory:
            set(target.outputDirectory);
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
                m_project.rte.present = true;
                m_path.clear();
            }
            return;
        }
        const QString parent = m_path.isEmpty() ? QString() : m_path.last();
        const QString grandParent = m_path.size() >= 2 ? m_path.at(m_path.size() - 2) : QString();
        RteSection &rte = m_project.rte;
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

    // Most values of these elements are plain: no text needed but for a text file's name.
    void plainValue(Element element, const char *data, qsizetype size) override
    {
        switch (element) {
        case Element::FilePath:
            // No quotes to remove: only the separators change.
            file(QString::fromLatin1(data, int(size)).replace(QLatin1Char('\\'), QLatin1Char('/')));
            break;
        case Element::FileType:
            m_fileType = fileTypeOf(data, size);
            break;
        case Element::IncludeInBuild:
            includeInBuild(size == 1 && data[0] == '0');
            break;
        case Element::GroupName:
            groupStarts();
            break;
        case Element::SwStkChk:
            m_cOptions = false;
            break;
        case Element::MiscControls:
        case Element::uC99:
        case Element::v6Lang:
            // Every group and file option block repeats them: no text for those.
            if (m_cOptions)
                ProjectVisitor::plainValue(element, data, size);
            break;
        default:
            ProjectVisitor::plainValue(element, data, size);
            break;
        }
    }

private:
    // A group's options follow its name, before its files.
    void groupStarts()
    {
        m_groupLeftOut = false;
        m_cOptions = false;
        m_options = Options::Group;
    }

    // Values before the first TargetName go to an unnamed target of their own.
    Target &currentTarget()
    {
        if (m_project.targets.isEmpty())
            m_project.targets.append(Target());
        return m_project.targets.last();
    }

    // A FilePath: its FileType came before it, its own options come after it.
    void file(const QString &path)
    {
        FileList list = FileList::Sources;
        if (m_groupLeftOut || m_fileType == Object || m_fileType == Library)
            list = FileList::DistFiles;
        else if (m_fileType == Text)
            list = isHeaderName(path) ? FileList::Headers : FileList::DistFiles;
        Target &target = currentTarget();
        m_lastFile = target.values.size();
        target.values.append({TargetValue::File, list, path, quint8(m_fileType)});
        m_fileType = 0;
        m_options = Options::File;
    }

    // <CommonProperty><IncludeInBuild> of the options being read. The target's own come
    // before its first group and are no file's; a group's follow its GroupName, before its
    // files; a file's follow its FilePath. 0 leaves the file, or every file of the group,
    // out of the target's build; 1 and 2 ("as the group says") keep it.
    void includeInBuild(bool leftOut)
    {
        if (m_options == Options::Group) {
            m_groupLeftOut = leftOut;
        } else if (m_options == Options::File && leftOut) {
            m_project.targets.last().values[m_lastFile].list = FileList::DistFiles;
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
        RteSection &rte = m_project.rte;
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
        RteSection &rte = m_project.rte;
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

    Project &m_project;
    // Whose options are being read: the target's, a group's or a file's.
    enum class Options { Target, Group, File } m_options = Options::Target;
    bool m_groupLeftOut = false;
    // Inside the target's own C compiler options: its <Cads>, which come after its name and
    // before the assembler's <Aads>, the first to hold a SwStkChk. A group's or a file's
    // <Cads> come after their names.
    bool m_cOptions = false;
    int m_fileType = 0; // of the file being read, until its FilePath
    int m_lastFile = 0; // the file whose options are read, in its target's values
    bool m_inRte = false;
    QStringList m_path; // open elements inside <RTE>
};

} // namespace

ReadOutcome readProject(QIODevice &device, Project &project)
{
    ProjectLineScanner scanner({Element::TargetName,     Element::ToolsetName,
                                Element::Device,         Element::Define,
                                Element::IncludePath,    Element::PackID,
                                Element::RegisterFile,   Element::RegisterFilePath,
                                Element::uAC6,           Element::Cpu,
                                Element::Instance,       Element::GroupName,
                                Element::FileType,       Element::FilePath,
                                Element::IncludeInBuild, Element::MiscControls,
                                Element::uC99,           Element::v6Lang,
                                Element::SwStkChk,       Element::OutputDirectory},
                               {"RTE"});
    ReadingVisitor visitor(project);
    return scanner.scan(device, visitor);
}

} // namespace Corvane
