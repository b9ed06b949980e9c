#include "model/projectreader.h"

#include "common/filekind.h"
#include "reading/projectlines.h"
#include "reading/projectvalues.h"

#include <QSet>

#include <iterator>

namespace Corvane {

namespace {

// The tools' option sections. Whose options they are (the target's, a group's, a file's)
// follows from where they stand: a group's after its GroupName, a file's after its FilePath.
struct SectionRule
{
    ScannedName name;
    OptionTool tool;
};

const SectionRule sectionRules[] = {
    {scannedName("Cads"), OptionTool::C},
    {scannedName("C51"), OptionTool::C},
    {scannedName("Aads"), OptionTool::Assembler},
    {scannedName("Ax51"), OptionTool::Assembler},
    {scannedName("LDads"), OptionTool::Linker},
    {scannedName("Lx51"), OptionTool::Linker},
    // uVision's GNU toolset keeps its options apart the same way.
    {scannedName("Carm"), OptionTool::C},
    {scannedName("Aarm"), OptionTool::Assembler},
    {scannedName("LDarm"), OptionTool::Linker},
};

class ReadingVisitor;

// Where an element's value counts: anywhere, or only among C compiler options.
enum class Where { Anywhere, C };

// Each element the converter reads: its tag, where it counts and what its value becomes.
struct ElementRule
{
    ScannedName name;
    Where where;
    void (ReadingVisitor::*apply)(const ScannedValue &value);
};

class ReadingVisitor : public ProjectVisitor
{
public:
    explicit ReadingVisitor(Project &project) : m_project(project) {}

    static const ElementRule rules[];
    static std::vector<ScannedName> elementNames();
    static std::vector<ScannedName> sectionNames();

    void value(int element, const ScannedValue &value) override;
    void section(int section, bool open) override;
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

    // What each element's value becomes.
    void targetName(const ScannedValue &value)
    {
        Target target;
        target.name = value.text();
        m_project.targets.append(target);
        m_options = OptionLevel::Target;
        m_groupLeftOut = false;
        m_fileType = 0;
        m_groupSettings = m_fileSettings = -1;
    }
    void toolsetName(const ScannedValue &value) { first(currentTarget().toolset, value); }
    void device(const ScannedValue &value)
    {
        Target &target = currentTarget();
        first(target.device, value);
        addValue(TargetValue::Device, value.text());
    }
    void define(const ScannedValue &value) { addValue(TargetValue::Define, interned(value)); }
    void includePath(const ScannedValue &value)
    {
        addValue(TargetValue::IncludePath, interned(value));
    }
    void packId(const ScannedValue &value) { first(currentTarget().packId, value); }
    void registerFile(const ScannedValue &value) { first(currentTarget().registerFile, value); }
    void registerFilePath(const ScannedValue &value)
    {
        first(currentTarget().registerFilePath, value);
    }
    void uAC6(const ScannedValue &value) { currentTarget().armCompiler6 = value.digit() != 0; }
    void cpu(const ScannedValue &value)
    {
        Target &target = currentTarget();
        if (target.cpu.line.isEmpty())
            target.cpu = parseCpu(value.text());
    }
    void instance(const ScannedValue &value)
    {
        if (m_inRte && m_path.size() >= 2 && m_path.last() == QLatin1String("instance") &&
            m_path.at(m_path.size() - 2) == QLatin1String("file") && !m_project.rte.files.isEmpty())
            m_project.rte.files.last().instance = value.text();
    }
    // A group's options follow its name, before its files.
    void groupName(const ScannedValue &value)
    {
        m_groupLeftOut = false;
        m_options = OptionLevel::Group;
        Target &target = currentTarget();
        TargetValue group;
        group.kind = TargetValue::Group;
        group.text = value.text();
        group.level = OptionLevel::Group;
        group.settings = target.cSettings.size();
        target.cSettings.append(CSettings());
        m_groupSettings = group.settings;
        target.values.append(group);
    }
    void fileType(const ScannedValue &value) { m_fileType = qMax(0, value.digit()); }
    // Targets list the same files: each plain path is cleaned once, and its text shared.
    void filePath(const ScannedValue &value)
    {
        const QByteArray bytes = value.plainBytes();
        if (bytes.isEmpty()) {
            file(cleanFilePath(value.text()));
            return;
        }
        auto known = m_filePaths.constFind(bytes);
        if (known == m_filePaths.constEnd())
            known = m_filePaths.insert(QByteArray(bytes.constData(), bytes.size()),
                                       cleanFilePath(value.text()));
        file(*known);
    }
    void includeInBuild(const ScannedValue &value) { includeInBuild(value.digit() == 0); }
    void miscControls(const ScannedValue &value) { first(cSettings().miscControls, value); }
    void uC99(const ScannedValue &value) { cSettings().c99 = value.digit(); }
    void v6Lang(const ScannedValue &value) { cSettings().v6Lang = value.digit(); }
    void plainCh(const ScannedValue &value) { cSettings().plainChar = value.digit(); }
    void vShortEn(const ScannedValue &value) { cSettings().shortEnums = value.digit(); }
    void vShortWch(const ScannedValue &value) { cSettings().shortWchar = value.digit(); }
    void enumInt(const ScannedValue &value) { cSettings().enumInt = value.digit(); }
    void useUlib(const ScannedValue &value) { currentTarget().microLib = value.digit() == 1; }
    void nSecure(const ScannedValue &value) { currentTarget().secure = value.digit(); }
    void outputDirectory(const ScannedValue &value)
    {
        first(currentTarget().outputDirectory, value);
    }
    void outputName(const ScannedValue &value) { first(currentTarget().outputName, value); }
    void createExecutable(const ScannedValue &value)
    {
        currentTarget().createExecutable = value.digit() == 1;
    }
    void createLib(const ScannedValue &value) { currentTarget().createLib = value.digit() == 1; }

private:
    // Vendor projects repeat long define and include lists in every target and copy them
    // into the assembler's options: each text is kept once, and shared. A plain value is
    // known by its bytes, so a repeat is neither converted nor hashed as text.
    QString interned(const ScannedValue &value)
    {
        const QByteArray bytes = value.plainBytes();
        if (bytes.size() >= 256) {
            const auto known = m_internedPlain.constFind(bytes);
            if (known != m_internedPlain.constEnd())
                return *known;
            const QString text = value.text();
            m_internedPlain.insert(QByteArray(bytes.constData(), bytes.size()), text);
            return text;
        }
        QString text = value.text();
        if (text.size() < 256)
            return text;
        const auto known = m_interned.constFind(text);
        if (known != m_interned.constEnd())
            return *known;
        m_interned.insert(text);
        return text;
    }

    // The first value of each kind in a target is its own; the debug options of old
    // projects repeat some of them.
    static void first(QString &field, const ScannedValue &value)
    {
        if (field.isEmpty())
            field = value.text();
    }

    // Whose options the value being read is among: the target's until a group's name, then
    // the group's until a file's path, then that file's.
    OptionLevel level() const { return m_options; }

    // The C settings of the level being read: the target's, its group's or its file's.
    CSettings &cSettings()
    {
        Target &target = currentTarget();
        switch (level()) {
        case OptionLevel::Group:
            if (m_groupSettings >= 0 && m_groupSettings < target.cSettings.size())
                return target.cSettings[m_groupSettings];
            break;
        case OptionLevel::File:
            if (m_fileSettings >= 0 && m_fileSettings < target.cSettings.size())
                return target.cSettings[m_fileSettings];
            break;
        case OptionLevel::Target:
            break;
        }
        return target.c;
    }

    void addValue(TargetValue::Kind kind, const QString &text)
    {
        TargetValue value;
        value.kind = kind;
        value.text = text;
        // A group's or a file's only among a tool's options: values anywhere else are the
        // target's, as they always were.
        value.level = m_tool == OptionTool::None ? OptionLevel::Target : level();
        value.tool = m_tool;
        currentTarget().values.append(value);
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
        if (m_groupLeftOut || m_fileType == UvObject || m_fileType == UvLibrary)
            list = FileList::DistFiles;
        else if (m_fileType == UvText)
            list = fileKind(path) == FileKind::Header ? FileList::Headers : FileList::DistFiles;
        Target &target = currentTarget();
        m_lastFile = target.values.size();
        TargetValue value;
        value.kind = TargetValue::File;
        value.list = list;
        value.text = path;
        value.fileType = quint8(m_fileType);
        value.level = OptionLevel::File;
        value.settings = target.cSettings.size();
        target.cSettings.append(CSettings());
        m_fileSettings = value.settings;
        target.values.append(value);
        m_fileType = 0;
        m_options = OptionLevel::File;
    }

    // <CommonProperty><IncludeInBuild> of the options being read. The target's own come
    // before its first group and are no file's; a group's follow its GroupName, before its
    // files; a file's follow its FilePath. 0 leaves the file, or every file of the group,
    // out of the target's build; 1 and 2 ("as the group says") keep it.
    void includeInBuild(bool leftOut)
    {
        if (m_options == OptionLevel::Group) {
            m_groupLeftOut = leftOut;
        } else if (m_options == OptionLevel::File && leftOut) {
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
    // Whose options were read last: the target's, a group's or a file's.
    OptionLevel m_options = OptionLevel::Target;
    OptionTool m_tool = OptionTool::None; // whose option section is open
    bool m_groupLeftOut = false;
    int m_fileType = 0;       // of the file being read, until its FilePath
    int m_lastFile = 0;       // the file whose options are read, in its target's values
    int m_groupSettings = -1; // the C settings of the group and the file being read
    int m_fileSettings = -1;
    bool m_inRte = false;
    QStringList m_path; // open elements inside <RTE>
    QSet<QString> m_interned;
    QHash<QByteArray, QString> m_internedPlain;
    QHash<QByteArray, QString> m_filePaths;
};

const ElementRule ReadingVisitor::rules[] = {
    {scannedName("TargetName"), Where::Anywhere, &ReadingVisitor::targetName},
    {scannedName("ToolsetName"), Where::Anywhere, &ReadingVisitor::toolsetName},
    {scannedName("Device"), Where::Anywhere, &ReadingVisitor::device},
    {scannedName("Define"), Where::Anywhere, &ReadingVisitor::define},
    {scannedName("IncludePath"), Where::Anywhere, &ReadingVisitor::includePath},
    {scannedName("PackID"), Where::Anywhere, &ReadingVisitor::packId},
    {scannedName("RegisterFile"), Where::Anywhere, &ReadingVisitor::registerFile},
    {scannedName("RegisterFilePath"), Where::Anywhere, &ReadingVisitor::registerFilePath},
    {scannedName("uAC6"), Where::Anywhere, &ReadingVisitor::uAC6},
    {scannedName("Cpu"), Where::Anywhere, &ReadingVisitor::cpu},
    {scannedName("instance"), Where::Anywhere, &ReadingVisitor::instance},
    {scannedName("GroupName"), Where::Anywhere, &ReadingVisitor::groupName},
    {scannedName("FileType"), Where::Anywhere, &ReadingVisitor::fileType},
    {scannedName("FilePath"), Where::Anywhere, &ReadingVisitor::filePath},
    {scannedName("IncludeInBuild"), Where::Anywhere, &ReadingVisitor::includeInBuild},
    {scannedName("MiscControls"), Where::C, &ReadingVisitor::miscControls},
    {scannedName("uC99"), Where::C, &ReadingVisitor::uC99},
    {scannedName("v6Lang"), Where::C, &ReadingVisitor::v6Lang},
    {scannedName("PlainCh"), Where::C, &ReadingVisitor::plainCh},
    {scannedName("vShortEn"), Where::C, &ReadingVisitor::vShortEn},
    {scannedName("vShortWch"), Where::C, &ReadingVisitor::vShortWch},
    {scannedName("EnumInt"), Where::C, &ReadingVisitor::enumInt},
    {scannedName("useUlib"), Where::Anywhere, &ReadingVisitor::useUlib},
    {scannedName("nSecure"), Where::Anywhere, &ReadingVisitor::nSecure},
    {scannedName("OutputDirectory"), Where::Anywhere, &ReadingVisitor::outputDirectory},
    {scannedName("OutputName"), Where::Anywhere, &ReadingVisitor::outputName},
    {scannedName("CreateExecutable"), Where::Anywhere, &ReadingVisitor::createExecutable},
    {scannedName("CreateLib"), Where::Anywhere, &ReadingVisitor::createLib},
};

static_assert(std::size(ReadingVisitor::rules) <= ProjectLineScanner::maxNames &&
                  std::size(sectionRules) <= ProjectLineScanner::maxNames,
              "the scanner looks names up by a bit each");

std::vector<ScannedName> ReadingVisitor::elementNames()
{
    std::vector<ScannedName> names;
    for (const ElementRule &rule : rules)
        names.push_back(rule.name);
    return names;
}

std::vector<ScannedName> ReadingVisitor::sectionNames()
{
    std::vector<ScannedName> names;
    for (const SectionRule &rule : sectionRules)
        names.push_back(rule.name);
    return names;
}

void ReadingVisitor::value(int element, const ScannedValue &value)
{
    const ElementRule &rule = rules[element];
    if (rule.where == Where::C && m_tool != OptionTool::C)
        return;
    (this->*rule.apply)(value);
}

void ReadingVisitor::section(int section, bool open)
{
    m_tool = open ? sectionRules[section].tool : OptionTool::None;
}

} // namespace

ReadOutcome readProject(QIODevice &device, Project &project)
{
    ProjectLineScanner scanner(ReadingVisitor::elementNames(), ReadingVisitor::sectionNames(),
                               {scannedName("RTE")});
    ReadingVisitor visitor(project);
    return scanner.scan(device, visitor);
}

} // namespace Corvane
