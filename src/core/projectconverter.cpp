#include "projectconverter.h"

#include "compiledb/compilecommands.h"
#include "model/projectreader.h"
#include "packs/packindex.h"
#include "packs/packrepository.h"
#include "packs/targetadditions.h"
#include "packs/targetview.h"
#include "qmake/headerscan.h"
#include "qmake/prorenderer.h"
#include "reading/filecheck.h"

#include <QDir>

#include <future>

namespace Corvane {

namespace {

// What uVision adds to each target, as the .pro places it: with scopes, each named target's
// own; without, one block for the whole project (see unscopedTarget).
QVector<TargetAdditions> findAdditions(const Project &project, AdditionFinder &finder)
{
    QVector<TargetAdditions> additions(qMax(1, int(project.targets.size())));
    if (!project.hasScopes()) {
        const int at = unscopedTarget(project);
        additions[at] = finder.additionsFor(project.targets.value(at).name);
        return additions;
    }
    for (int i = 0; i < project.targets.size(); ++i) {
        if (!project.targets.at(i).name.isEmpty())
            additions[i] = finder.additionsFor(project.targets.at(i).name);
    }
    return additions;
}

// The files the .pro lists, in the order it lists them, with what uVision adds to a target
// after the target's own.
void checkProjectFiles(const Project &project, const QVector<TargetAdditions> &additions,
                       FileCheck &files)
{
    const bool scopes = project.hasScopes();
    for (int i = 0; i < project.targets.size(); ++i) {
        for (const TargetValue &value : project.targets.at(i).values) {
            if (value.kind == TargetValue::File)
                files.projectFile(value.text, value.list != FileList::DistFiles);
        }
        if (scopes) {
            for (const QString &path : additions.at(i).sources + additions.at(i).headers)
                files.projectFile(path, true);
        }
    }
    if (!scopes) {
        const TargetAdditions &whole = additions.at(unscopedTarget(project));
        for (const QString &path : whole.sources + whole.headers)
            files.projectFile(path, true);
    }
}

} // namespace

ProjectConverter::ProjectConverter(const QString &projectDir, const QDateTime &time)
    : m_projectDir(projectDir), m_time(time)
{}

ProjectConverter::~ProjectConverter() = default;

QStringList ProjectConverter::notices() const
{
    return m_additionNotices + (m_files ? m_files->notices() : QStringList());
}

SourceEncodings ProjectConverter::encodings() const
{
    return m_files ? m_files->encodings() : SourceEncodings();
}

ProjectEntries ProjectConverter::compileCommands(QStringList *notices) const
{
    const TargetView view = targetView(m_project, m_additions, m_defaultTarget);
    ProjectEntries entries;
    entries.projectDir = QDir::fromNativeSeparators(QDir(m_projectDir).absolutePath());
    entries.objectFolder = objectFolder(view.target);
    entries.entries = Corvane::compileCommands(view, m_projectDir, m_mdkRoot, notices);
    return entries;
}

ConversionStatus ProjectConverter::convert(QIODevice &project, QIODevice &output)
{
    m_project = Project();
    m_additions.clear();
    m_additionNotices.clear();
    m_files.reset();
    if (readProject(project, m_project) == ReadOutcome::ReadError)
        return ConversionStatus::ProjectReadFailed;
    if (!m_defaultTarget.isEmpty() && !m_project.targetNames().contains(m_defaultTarget))
        return ConversionStatus::UnknownTarget;

    std::unique_ptr<PackRepository> packs(
        m_packRoot.isEmpty()
            ? nullptr
            : new PackRepository(m_packRoot, m_packRootOrigin,
                                 m_packIndex.isEmpty() ? PackIndex::fileFor(m_packRoot)
                                                       : m_packIndex));
    AdditionFinder finder(m_project, m_projectDir, packs.get());
    finder.setInstallations(m_mdkRoot, m_c51Root);
    m_additions = findAdditions(m_project, finder);
    m_additionNotices = finder.notices();

    ProRendering rendering;
    rendering.time = m_time;
    rendering.defaultTarget = m_defaultTarget;
    rendering.packRoot = packs ? packs->root() : QString();
    rendering.projectFile = m_projectFile;
    rendering.mdkRoot = m_mdkRoot;
    rendering.c51Root = m_c51Root;
    rendering.converter = m_converter;
    rendering.namedPackRoot = m_namedPackRoot;
    rendering.compileCommands = m_rewriteCompileCommands;
    rendering.compileCommandsDir = m_compileCommandsDir;
    // Holding the listed files against the disk needs nothing the rendering makes, and for
    // a project of thousands of files costs a good part of it: both run at once.
    m_files.reset(new FileCheck(m_projectDir));
    auto checked = std::async(std::launch::async,
                              [this] { checkProjectFiles(m_project, m_additions, *m_files); });
    HeaderScanner headers(m_projectDir);
    const bool written = renderProjectFile(m_project, m_additions, rendering, headers, output);
    checked.get();
    m_files->missingFolders(headers.missingEntries());
    m_files->listedFiles(headers.listedFiles());
    m_files->checkEncodings();
    return written ? ConversionStatus::Converted : ConversionStatus::OutputFailed;
}

} // namespace Corvane
