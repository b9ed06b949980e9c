#include "conversion/projectconverter.h"

#include "compiledb/compilecommands.h"
#include "model/diskspelling.h"
#include "model/projectreader.h"
#include "packs/packindex.h"
#include "packs/packrepository.h"
#include "packs/targetadditions.h"
#include "qmake/headerscan.h"
#include "qmake/prorenderer.h"
#include "reading/filecheck.h"

#include <QBuffer>
#include <QDir>
#include <QFileDevice>

#include <future>

namespace Corvane {

namespace {

// The files the .pro lists, in the order it lists them, with what uVision adds to a target
// after the target's own.
void checkProjectFiles(const ResolvedProject &resolved, FileCheck &files)
{
    const auto check = [&files](const Target &part) {
        for (const TargetValue &value : part.values) {
            if (value.kind == TargetValue::File)
                files.projectFile(value.text, value.list != FileList::DistFiles);
        }
    };
    if (resolved.leading)
        check(*resolved.leading);
    for (const ResolvedTarget &target : resolved.targets) {
        if (target.target != resolved.leading)
            check(*target.target);
        for (const QString &path : target.additions.sources + target.additions.headers)
            files.projectFile(path, true);
    }
}

// Whether the text written so far can be taken back: a file, or a buffer in memory.
bool canRestart(QIODevice &output)
{
    return qobject_cast<QFileDevice *>(&output) || qobject_cast<QBuffer *>(&output);
}

bool restart(QIODevice &output)
{
    if (auto *file = qobject_cast<QFileDevice *>(&output))
        return file->flush() && file->seek(0) && file->resize(0);
    auto *buffer = qobject_cast<QBuffer *>(&output);
    buffer->buffer().clear();
    return buffer->seek(0);
}

} // namespace

ProjectConverter::ProjectConverter(const QString &projectDir, const QDateTime &time)
    : m_projectDir(projectDir), m_time(time)
{}

ProjectConverter::~ProjectConverter() = default;

Notices ProjectConverter::notices() const
{
    return m_resolved.notices + m_caseNotices + (m_files ? m_files->notices() : Notices());
}

SourceEncodings ProjectConverter::encodings() const
{
    return m_files ? m_files->encodings() : SourceEncodings();
}

ProjectEntries ProjectConverter::compileCommands(Notices *notices) const
{
    ProjectEntries entries;
    entries.projectDir = QDir::fromNativeSeparators(QDir(m_projectDir).absolutePath());
    const ResolvedTarget *selected = m_resolved.selected();
    if (!selected)
        return entries;
    entries.objectFolder = objectFolder(selected->target);
    entries.entries = Corvane::compileCommands(*selected, m_projectDir, m_mdkRoot, notices);
    return entries;
}

ConversionStatus ProjectConverter::convert(QIODevice &project, QIODevice &output)
{
    m_project = Project();
    m_resolved = ResolvedProject();
    m_caseNotices.clear();
    m_files.reset();
    if (readProject(project, m_project) == ReadOutcome::ReadError)
        return ConversionStatus::ProjectReadFailed;
    // A target by its name, else by its number, 1 for the first, as UV_TARGET takes it.
    const QStringList names = m_project.targetNames();
    QString selected = m_defaultTarget;
    if (!selected.isEmpty() && !names.contains(selected)) {
        bool number = false;
        const int n = selected.toInt(&number);
        if (!number || n < 1 || n > names.size())
            return ConversionStatus::UnknownTarget;
        selected = names.at(n - 1);
    }
    std::unique_ptr<PackRepository> packs(
        m_packRoot.isEmpty()
            ? nullptr
            : new PackRepository(m_packRoot, m_packRootOrigin,
                                 m_packIndex.isEmpty() ? PackIndex::fileFor(m_packRoot)
                                                       : m_packIndex));
    AdditionFinder finder(m_project, m_projectDir, packs.get());
    finder.setInstallations(m_mdkRoot, m_c51Root);

    ProRendering rendering;
    rendering.time = m_time;
    rendering.packRoot = packs ? packs->root() : QString();
    rendering.projectFile = m_projectFile;
    rendering.mdkRoot = m_mdkRoot;
    rendering.c51Root = m_c51Root;
    rendering.rewrite = m_rewrite;

    // Projects are written on Windows; a name the disk has in another letter case is the
    // file meant. Few projects have one, and looking costs a project of thousands of files
    // as much as rendering: the .pro is rendered at the same time, from a copy of the
    // project, and again only when a name changed and the output can start over.
    Project spelt = m_project;
    auto spelling = std::async(std::launch::async,
                               [&spelt, this] { return spellAsOnDisk(spelt, m_projectDir); });
    const bool restartable = canRestart(output);
    if (!restartable)
        m_caseNotices = spelling.get();
    bool written = false;
    for (;;) {
        if (!restartable)
            m_project = spelt;
        m_resolved = resolveProject(m_project, finder, selected);
        // Holding the listed files against the disk needs nothing the rendering makes, and
        // for a project of thousands of files costs a good part of it: both run at once.
        m_files.reset(new FileCheck(m_projectDir));
        auto checked =
            std::async(std::launch::async, [this] { checkProjectFiles(m_resolved, *m_files); });
        HeaderScanner headers(m_projectDir);
        written = renderProjectFile(m_project, m_resolved, rendering, headers, output);
        checked.get();
        if (restartable && !spelling.valid()) {
            // The second rendering, of the names as the disk has them.
            finishFileCheck(headers);
            break;
        }
        if (restartable) {
            m_caseNotices = spelling.get();
            if (!m_caseNotices.isEmpty() && restart(output)) {
                m_project = spelt;
                continue;
            }
        }
        finishFileCheck(headers);
        break;
    }
    return written ? ConversionStatus::Converted : ConversionStatus::OutputFailed;
}

void ProjectConverter::finishFileCheck(const HeaderScanner &headers)
{
    m_files->missingFolders(headers.missingEntries());
    m_files->listedFiles(headers.listedFiles());
    m_files->checkEncodings();
}

} // namespace Corvane
