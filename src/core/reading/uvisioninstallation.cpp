#include "reading/uvisioninstallation.h"

#include "reading/toolsini.h"

#include <QDir>
#include <QFileInfo>
#include <QList>

#ifdef Q_OS_WIN
#include <QSettings>
#endif

namespace Corvane {

namespace {

#ifdef Q_OS_WIN
QString registeredRoot(QLatin1String product)
{
    // The installer is a 32-bit program: a 64-bit one finds its key under WOW6432Node.
    for (const char *hive : {"HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER"}) {
        for (const QSettings::Format view :
             {QSettings::Registry32Format, QSettings::Registry64Format}) {
            const QSettings key(QLatin1String(hive) +
                                    QStringLiteral("\\SOFTWARE\\Keil\\Products\\") + product,
                                view);
            const QString root = keilRootOf(key.value(QStringLiteral("Path")).toString());
            if (!root.isEmpty())
                return root;
        }
    }
    return QString();
}
#endif

} // namespace

QString keilRootOf(const QString &registeredFolder)
{
    const QString folder =
        QDir::cleanPath(registeredFolder.trimmed().replace(QLatin1Char('\\'), QLatin1Char('/')));
    const int slash = folder.lastIndexOf(QLatin1Char('/'));
    if (slash <= 0 || !QFileInfo(folder).isDir())
        return QString();
    QString root = folder.left(slash);
    if (root.endsWith(QLatin1Char(':')))
        root += QLatin1Char('/'); // "D:\ARM": the root is the drive's
    return root;
}

QString findKeilRoot(KeilProduct product)
{
#ifdef Q_OS_WIN
    const QLatin1String name(product == KeilProduct::Mdk ? "MDK" : "C51");
    const QString registered = registeredRoot(name);
    if (!registered.isEmpty())
        return registered;
    return keilRootOf(
        QLatin1String(product == KeilProduct::Mdk ? "C:/Keil_v5/ARM" : "C:/Keil_v5/C51"));
#else
    Q_UNUSED(product)
    return QString();
#endif
}

PackRoot windowsPackRoot(const QString &mdkRoot, const QString &localAppData)
{
    QList<PackRoot> candidates;
    const QString rtePath = toolsIniPackFolder(mdkRoot);
    if (!rtePath.isEmpty())
        candidates.append({rtePath, QStringLiteral("RTEPATH in ") +
                                        QDir::toNativeSeparators(QDir::cleanPath(
                                            mdkRoot + QStringLiteral("/TOOLS.INI")))});
    if (!localAppData.isEmpty())
        candidates.append(
            {QDir::cleanPath(QString(localAppData).replace(QLatin1Char('\\'), QLatin1Char('/')) +
                             QStringLiteral("/Arm/Packs")),
             QStringLiteral("%LOCALAPPDATA%\\Arm\\Packs")});
    if (!mdkRoot.isEmpty())
        candidates.append({QDir::cleanPath(mdkRoot + QStringLiteral("/ARM/PACK")),
                           QStringLiteral("MDK in ") + QDir::toNativeSeparators(mdkRoot)});
    for (const PackRoot &candidate : qAsConst(candidates)) {
        if (QFileInfo(candidate.path).isDir())
            return candidate;
    }
    return candidates.value(0);
}

PackRoot defaultPackRoot(const QString &mdkRoot)
{
    const QString fromEnvironment = qEnvironmentVariable("CMSIS_PACK_ROOT");
    if (!fromEnvironment.isEmpty())
        return {fromEnvironment, QStringLiteral("CMSIS_PACK_ROOT")};
#ifdef Q_OS_WIN
    return windowsPackRoot(mdkRoot, qEnvironmentVariable("LOCALAPPDATA"));
#else
    Q_UNUSED(mdkRoot)
    const QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!cache.isEmpty())
        return {cache + QStringLiteral("/arm/packs"), QStringLiteral("$XDG_CACHE_HOME")};
    return {QDir::homePath() + QStringLiteral("/.cache/arm/packs"), QStringLiteral("the default")};
#endif
}

ConversionOptions installedUvisionOptions()
{
    ConversionOptions options;
    options.mdkRoot = findKeilRoot(KeilProduct::Mdk);
    options.c51Root = findKeilRoot(KeilProduct::C51);
    const PackRoot packRoot = defaultPackRoot(options.mdkRoot);
    options.packRoot = packRoot.path;
    options.packRootOrigin = packRoot.origin;
    return options;
}

} // namespace Corvane
