#include "compiledb/databasefile.h"

#include "common/savedfile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QSaveFile>

#include <algorithm>

namespace Corvane {

namespace {

const char fileName[] = "compile_commands.json";

// Windows file names ignore letter case; so do folders named in two projects' entries.
#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity pathCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity pathCase = Qt::CaseSensitive;
#endif

bool samePath(const QString &a, const QString &b)
{
    return QString::compare(QDir::cleanPath(a), QDir::cleanPath(b), pathCase) == 0;
}

// A drive's root, "/", a UNC share's root, or a server.
bool isRoot(const QStringList &parts)
{
    if (parts.size() >= 2 && parts.at(0).isEmpty() && parts.at(1).isEmpty())
        return parts.size() <= 4; // "", "", server, share
    return parts.size() == 1;     // "" of "/", or "D:"
}

// Whether an entry of an existing database is one `projects` wrote.
bool ownedBy(const QJsonObject &entry, const QVector<ProjectEntries> &projects)
{
    const QString directory = entry.value(QStringLiteral("directory")).toString();
    const QJsonValue output = entry.value(QStringLiteral("output"));
    for (const ProjectEntries &project : projects) {
        if (!samePath(directory, project.projectDir))
            continue;
        // Entries of a Corvane without "output" belong to the folder's project.
        if (!output.isString() ||
            samePath(QFileInfo(output.toString()).path(), project.objectFolder))
            return true;
    }
    return false;
}

bool isEntry(const QJsonValue &value)
{
    const QJsonObject entry = value.toObject();
    return value.isObject() && entry.value(QStringLiteral("directory")).isString() &&
           entry.value(QStringLiteral("file")).isString() &&
           (entry.value(QStringLiteral("arguments")).isArray() ||
            entry.value(QStringLiteral("command")).isString());
}

QString nativeDatabase(const QString &folder)
{
    return QDir::toNativeSeparators(folder + QLatin1Char('/') + QLatin1String(fileName));
}

struct Written
{
    WrittenFile file;
    bool notDatabase = false; // the file there is none, and stays
    bool replaced = false;    // ... and was replaced
};

// Read, merge and replace under a lock of its own: the lock file goes to the temporary
// folder, not beside the user's files.
Written writeInto(const QString &folder, const QVector<ProjectEntries> &projects, bool replaceOther)
{
    Written out;
    out.file.path = QDir::cleanPath(folder) + QLatin1Char('/') + QLatin1String(fileName);
    QString key = QDir::cleanPath(QFileInfo(out.file.path).absoluteFilePath());
    if (pathCase == Qt::CaseInsensitive)
        key = key.toCaseFolded();
    const QByteArray hash =
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    QLockFile lock(QDir::temp().filePath(QStringLiteral("corvane-") + QLatin1String(hash) +
                                         QStringLiteral(".lock")));
    if (!lock.tryLock(10000)) {
        out.file.reason = QStringLiteral("is being written by another conversion");
        return out;
    }
    QByteArray existing;
    QFile current(out.file.path);
    const bool exists = current.exists();
    if (exists && !current.open(QIODevice::ReadOnly)) {
        out.file.reason = QStringLiteral("cannot be read");
        return out;
    }
    if (exists)
        existing = current.readAll();
    current.close();
    QJsonArray merged;
    if (!mergeEntries(existing, projects, &merged)) {
        if (!replaceOther) {
            out.notDatabase = true;
            out.file.reason = QStringLiteral("is not a compilation database");
            return out;
        }
        out.replaced = true;
        mergeEntries(QByteArray(), projects, &merged);
    }
    const QByteArray text = QJsonDocument(merged).toJson();
    // Unchanged: no write, so that editors watching it do not reload.
    if (exists && text == existing) {
        out.file.written = true;
        return out;
    }
    QSaveFile save(out.file.path);
    out.file.written = openOutput(save) && save.write(text) == text.size() && commitOutput(save);
    if (!out.file.written)
        out.file.reason = QStringLiteral("cannot be written");
    return out;
}

} // namespace

QString databaseFolder(const QStringList &paths)
{
    if (paths.isEmpty())
        return QString();
    QStringList shared = QDir::cleanPath(paths.first()).split(QLatin1Char('/'));
    for (const QString &path : paths) {
        const QStringList parts = QDir::cleanPath(path).split(QLatin1Char('/'));
        int same = 0;
        while (same < shared.size() && same < parts.size() &&
               QString::compare(shared.at(same), parts.at(same), pathCase) == 0)
            ++same;
        shared = shared.mid(0, same);
    }
    if (shared.isEmpty() || isRoot(shared))
        return QString();
    const QString folder = shared.join(QLatin1Char('/'));
    const QString home = QDir::cleanPath(QDir::homePath());
    if (samePath(folder, home) || home.startsWith(folder + QLatin1Char('/'), pathCase))
        return QString();
    return folder;
}

bool mergeEntries(const QByteArray &existing, const QVector<ProjectEntries> &projects,
                  QJsonArray *merged)
{
    QJsonArray ours;
    for (const ProjectEntries &project : projects) {
        for (const QJsonValue &entry : project.entries)
            ours.append(entry);
    }
    QJsonArray kept;
    if (!existing.trimmed().isEmpty()) {
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(existing, &error);
        if (error.error != QJsonParseError::NoError || !document.isArray())
            return false;
        kept = document.array();
    }
    *merged = QJsonArray();
    bool placed = false;
    for (const QJsonValue &entry : qAsConst(kept)) {
        if (!isEntry(entry))
            return false;
        if (!ownedBy(entry.toObject(), projects)) {
            merged->append(entry);
        } else if (!placed) {
            for (const QJsonValue &own : qAsConst(ours))
                merged->append(own);
            placed = true;
        }
    }
    if (!placed) {
        for (const QJsonValue &own : qAsConst(ours))
            merged->append(own);
    }
    return true;
}

DatabaseOutcome writeCompileCommands(const QVector<ProjectEntries> &projects, const QString &folder)
{
    DatabaseOutcome outcome;
    if (projects.isEmpty())
        return outcome;
    if (!folder.isEmpty()) {
        outcome.files.append(writeInto(folder, projects, false).file);
        return outcome;
    }
    QStringList paths;
    for (const ProjectEntries &project : projects) {
        paths.append(project.projectDir);
        const QDir dir(project.projectDir);
        for (const QJsonValue &entry : project.entries)
            paths.append(QFileInfo(dir, entry[QLatin1String("file")].toString()).absolutePath());
    }
    const QString shared = databaseFolder(paths);
    // Beside the projects anyway: as before there was a choice, a file there that is no
    // database is replaced.
    const bool own = std::all_of(projects.cbegin(), projects.cend(), [&shared](const auto &p) {
        return samePath(shared, p.projectDir);
    });
    QString why;
    if (!shared.isEmpty()) {
        const Written written = writeInto(shared, projects, own);
        if (written.file.written || own) {
            outcome.files.append(written.file);
            if (written.replaced)
                outcome.notices.append(
                    {Notice::Kind::DatabaseReplaced, {nativeDatabase(shared)}, {}});
            if (written.file.written && !own)
                outcome.notices.append(
                    {Notice::Kind::DatabasePlaced,
                     {QDir::toNativeSeparators(shared),
                      projects.size() == 1 ? QStringLiteral("the project and its sources")
                                           : QStringLiteral("the projects and their sources")},
                     {}});
            return outcome;
        }
        why = nativeDatabase(shared) + QLatin1Char(' ') + written.file.reason;
    } else {
        why = QStringLiteral("the project and its sources share no folder below a drive's root "
                             "or the home folder");
    }
    // Beside each project, as clangd is told with --compile-commands-dir.
    QVector<QVector<ProjectEntries>> groups;
    for (const ProjectEntries &project : projects) {
        auto group = std::find_if(groups.begin(), groups.end(), [&project](const auto &g) {
            return samePath(g.first().projectDir, project.projectDir);
        });
        if (group == groups.end())
            groups.append({project});
        else
            group->append(project);
    }
    for (const QVector<ProjectEntries> &group : qAsConst(groups)) {
        const QString dir = group.first().projectDir;
        const Written written = writeInto(dir, group, true);
        outcome.files.append(written.file);
        if (written.replaced)
            outcome.notices.append({Notice::Kind::DatabaseReplaced, {nativeDatabase(dir)}, {}});
        if (written.file.written)
            outcome.notices.append(
                {Notice::Kind::DatabaseBeside, {why, QDir::toNativeSeparators(dir)}, {}});
    }
    return outcome;
}

} // namespace Corvane
