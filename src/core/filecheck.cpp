#include "filecheck.h"

#include "textencoding.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace Corvane {

namespace {

constexpr int shownPerKind = 20;
constexpr qint64 encodingSample = 64 * 1024;

void appendCapped(QStringList &out, const QStringList &lines, const QString &more)
{
    out += lines.mid(0, shownPerKind);
    if (lines.size() > shownPerKind)
        out.append(more.arg(lines.size() - shownPerKind));
}

} // namespace

FileCheck::FileCheck(const QString &projectDir) : m_projectDir(projectDir) {}

void FileCheck::projectFile(const QString &path, bool text)
{
    if (path.isEmpty() || m_named.contains(path))
        return;
    m_named.insert(path);
    const QString full = QDir::isAbsolutePath(path) ? path : m_projectDir + QLatin1Char('/') + path;
    if (QFileInfo::exists(full)) {
        if (text && !m_textPaths.contains(full)) {
            m_textPaths.insert(full);
            m_text.append(qMakePair(path, full));
        }
        return;
    }
    const QString other = onDiskAs(path);
    m_missingFiles.append(
        QStringLiteral("file %1 is not on disk").arg(path) +
        (other.isEmpty() ? QString() : QStringLiteral("; on disk as %1").arg(other)));
}

void FileCheck::missingFolders(const QStringList &entries)
{
    for (const QString &entry : entries)
        m_missingFolders.append(QStringLiteral("include folder %1 is not on disk").arg(entry));
}

void FileCheck::listedFiles(const QList<QPair<QString, QString>> &files)
{
    for (const auto &file : files) {
        if (!m_textPaths.contains(file.second)) {
            m_textPaths.insert(file.second);
            m_text.append(file);
        }
    }
}

void FileCheck::checkEncodings()
{
    for (const auto &file : qAsConst(m_text)) {
        QFile f(file.second);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QByteArray bytes = f.read(encodingSample);
        switch (detectEncoding(bytes, !f.atEnd())) {
        case TextEncoding::Utf8:
            ++m_utf8Files;
            break;
        case TextEncoding::Gbk:
            ++m_gbkFiles;
            break;
        case TextEncoding::Unknown:
            m_unknownEncoding.append(
                QStringLiteral("file %1 is neither UTF-8 nor GBK text").arg(file.first));
            break;
        case TextEncoding::Ascii:
            break;
        }
    }
    m_text.clear();
}

QStringList FileCheck::notices() const
{
    QStringList out;
    appendCapped(out, m_missingFiles, QStringLiteral("and %1 more files are not on disk"));
    appendCapped(out, m_missingFolders,
                 QStringLiteral("and %1 more include folders are not on disk"));
    appendCapped(out, m_unknownEncoding,
                 QStringLiteral("and %1 more files are neither UTF-8 nor GBK text"));
    return out;
}

// The path with each part spelt as the disk has it, when only letter case keeps the path
// from naming a file; empty when it names nothing in any case.
QString FileCheck::onDiskAs(const QString &path)
{
    if (QDir::isAbsolutePath(path))
        return QString();
    const QStringList parts = path.split(QLatin1Char('/'));
    QString at = m_projectDir;
    QStringList found;
    for (const QString &part : parts) {
        QString name = part;
        if (!part.isEmpty() && part != QLatin1String(".") && part != QLatin1String("..") &&
            !QFileInfo::exists(at + QLatin1Char('/') + part)) {
            name = entryIgnoringCase(at, part);
            if (name.isEmpty())
                return QString();
        }
        at += QLatin1Char('/') + name;
        found.append(name);
    }
    return found.join(QLatin1Char('/'));
}

QString FileCheck::entryIgnoringCase(const QString &dir, const QString &name)
{
    const QString key = QDir::cleanPath(dir);
    auto listing = m_listings.find(key);
    if (listing == m_listings.end())
        listing = m_listings.insert(key, QDir(key).entryList(QDir::AllEntries | QDir::Hidden |
                                                             QDir::System | QDir::NoDotAndDotDot));
    for (const QString &entry : qAsConst(listing.value())) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return QString();
}

} // namespace Corvane
