#include "projectconverter.h"

#include "filecheck.h"
#include "fragments.h"
#include "projectlines.h"
#include "prowriter.h"
#include "targetadditions.h"

#include <QDir>

namespace Corvane {

// The second pass: every element of interest, in project order, to the writer.
class WritingVisitor : public ProjectVisitor
{
public:
    WritingVisitor(ProjectConverter &converter, ProWriter &writer)
        : m_converter(converter), m_writer(writer), m_scopes(converter.survey().hasScopes())
    {
        // Files before the first TargetName belong to the survey's unnamed first target.
        const QList<Target> &targets = converter.survey().targets;
        m_surveyTarget = !targets.isEmpty() && targets.first().name.isEmpty() ? 0 : -1;
    }

    void value(Element element, const QString &text) override
    {
        const QString value = text.trimmed();
        if (value.isEmpty())
            return; // an empty element writes nothing
        switch (element) {
        case Element::Device:
            m_writer.device(value);
            break;
        case Element::Define:
            m_writer.defines(value);
            break;
        case Element::IncludePath:
            m_writer.includes(value);
            break;
        case Element::FilePath: {
            const FileList list = nextFile();
            const QString path = Fragments::cleanFilePath(value);
            if (path.isEmpty())
                break;
            m_converter.m_files->projectFile(path, list != FileList::DistFiles);
            if (list == FileList::Sources)
                m_writer.source(path);
            else
                m_writer.groupFile(list, path);
            break;
        }
        case Element::TargetName:
            ++m_surveyTarget;
            m_fileIndex = 0;
            target(value);
            break;
        default:
            break;
        }
    }

    void plainValue(Element element, const char *data, qsizetype size) override
    {
        if (element != Element::FilePath) {
            ProjectVisitor::plainValue(element, data, size);
            return;
        }
        const FileList list = nextFile();
        m_converter.m_files->plainProjectFile(data, size, list != FileList::DistFiles);
        if (list == FileList::Sources)
            m_writer.plainSource(data, size);
        else
            m_writer.groupFile(list,
                               Fragments::cleanFilePath(QString::fromLatin1(data, int(size))));
    }

    bool stopped() const override { return m_writer.failed(); }

    // After the last line: what uVision adds to the last target, and the end of its scope.
    void finish()
    {
        m_writer.targetFilesEnd();
        if (m_scopes) {
            if (!m_target.isNull()) {
                m_converter.writeAdditions(m_writer, m_target);
                m_writer.closeScope();
            }
            m_writer.targetCheck(m_converter.survey().targetNames());
            return;
        }
        const QStringList names = m_converter.survey().targetNames();
        m_converter.writeAdditions(m_writer, names.isEmpty() ? QString() : names.first());
    }

private:
    // Where the next FilePath of the project goes, as the survey found it.
    FileList nextFile()
    {
        const QList<Target> &targets = m_converter.survey().targets;
        if (m_surveyTarget < 0 || m_surveyTarget >= targets.size())
            return FileList::Sources;
        return targets.at(m_surveyTarget).files.value(m_fileIndex++, FileList::Sources);
    }

    void target(const QString &name)
    {
        if (!m_scopes)
            return;
        // The files of the target before, or of what precedes the first target, end here.
        m_writer.targetFilesEnd();
        if (m_target.isNull()) {
            const QString &chosen = m_converter.m_defaultTarget;
            m_writer.scopeDefault(chosen.isEmpty() ? name : chosen);
        } else {
            m_converter.writeAdditions(m_writer, m_target);
            m_writer.closeScope();
        }
        m_writer.openScope(name);
        m_target = name;
    }

    ProjectConverter &m_converter;
    ProWriter &m_writer;
    const bool m_scopes;
    QString m_target;        // the target whose scope is open
    int m_surveyTarget = -1; // the survey's target the lines belong to
    int m_fileIndex = 0;     // of the next FilePath within that target
};

ProjectConverter::ProjectConverter(const QString &projectDir, const QDateTime &time)
    : m_projectDir(projectDir), m_time(time)
{}

ProjectConverter::~ProjectConverter() = default;

QStringList ProjectConverter::notices() const
{
    return (m_additions ? m_additions->notices() : QStringList()) +
           (m_files ? m_files->notices() : QStringList());
}

bool ProjectConverter::sourcesMostlyGbk() const
{
    return m_files && m_files->mostlyGbk();
}

ConversionStatus ProjectConverter::convert(QIODevice &project, QIODevice &output)
{
    m_survey = ProjectSurvey();
    if (surveyProject(project, m_survey) == ReadOutcome::ReadError || !project.seek(0))
        return ConversionStatus::ProjectReadFailed;
    if (!m_defaultTarget.isEmpty() && !m_survey.targetNames().contains(m_defaultTarget))
        return ConversionStatus::UnknownTarget;
    m_packs.reset(m_packRoot.isEmpty() ? nullptr
                                       : new PackRepository(m_packRoot, m_packRootOrigin));
    m_additions.reset(new AdditionFinder(m_survey, m_projectDir, m_packs.get()));
    m_additions->setInstallations(m_mdkRoot, m_c51Root);
    m_files.reset(new FileCheck(m_projectDir));

    ProWriter writer(output, m_projectDir);
    writer.banner(m_time);
    WritingVisitor visitor(*this, writer);
    ProjectLineScanner scanner({Element::Device, Element::Define, Element::IncludePath,
                                Element::FilePath, Element::TargetName});
    if (scanner.scan(project, visitor) == ReadOutcome::ReadError)
        return ConversionStatus::ProjectReadFailed;
    visitor.finish();
    if (!m_projectFile.isEmpty())
        writer.uvisionBuild(uvisionBuild());
    writer.closing();
    m_files->missingFolders(writer.headerScanner().missingEntries());
    m_files->listedFiles(writer.headerScanner().listedFiles());
    m_files->checkEncodings();
    return writer.failed() ? ConversionStatus::OutputFailed : ConversionStatus::Converted;
}

UvisionBuild ProjectConverter::uvisionBuild() const
{
    UvisionBuild build;
    build.projectFile = m_projectFile;
    build.selectedByUvTarget = m_survey.hasScopes();
    const QStringList names = m_survey.targetNames();
    if (!names.isEmpty())
        build.target = names.first();
    build.installation = buildingInstallation(m_survey.targets, m_mdkRoot, m_c51Root);
    return build;
}

// What uVision adds to a target by itself, in a block of its own at the end of the target.
void ProjectConverter::writeAdditions(ProWriter &writer, const QString &targetName)
{
    const TargetAdditions additions = m_additions->additionsFor(targetName);
    if (additions.isEmpty())
        return;
    for (const QString &path : additions.sources + additions.headers)
        m_files->projectFile(path, true);
    QStringList origins;
    if (additions.fromRte)
        origins.append(QStringLiteral("its Run-Time Environment"));
    if (additions.fromPacks)
        origins.append(QStringLiteral("CMSIS packs in ") +
                       QDir::toNativeSeparators(m_packs->root()));
    if (!additions.fromInstallation.isEmpty())
        origins.append(additions.fromInstallation);
    writer.addition(QStringLiteral("Added by uVision for this target: ") +
                        origins.join(QStringLiteral(" and ")),
                    additions.defines, additions.includeFolders, additions.packFolders,
                    additions.headers, additions.sources);
}

} // namespace Corvane
