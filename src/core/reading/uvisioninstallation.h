#ifndef CORVANE_UVISIONINSTALLATION_H
#define CORVANE_UVISIONINSTALLATION_H

#include "common/conversionoptions.h"

#include <QString>

namespace Corvane {

// Where uVision is installed and where it keeps its CMSIS packs, found the way uVision finds
// them on Windows. Roots are spelled "D:/Keil_v5": '/' separators, no trailing one.

enum class KeilProduct {
    Mdk, // registers its ARM folder
    C51, // registers its C51 folder
};

// The installation of a product on this machine: on Windows the parent of the folder it
// registers as Path under SOFTWARE\Keil\Products\MDK (C51), looked for in HKEY_LOCAL_MACHINE
// and then HKEY_CURRENT_USER, each in the 32-bit registry view the installer writes and then
// in the 64-bit one; without a key, C:\Keil_v5 when it holds the product. Empty when none is
// installed, and always elsewhere than on Windows.
QString findKeilRoot(KeilProduct product);

// The root of an installation from the folder a product registers ("D:\Keil_v5\ARM\" gives
// "D:/Keil_v5"); empty when that folder does not exist.
QString keilRootOf(const QString &registeredFolder);

// A pack root and where it came from, as the user reads it: "--pack-root",
// "CMSIS_PACK_ROOT", "RTEPATH in D:\Keil_v5\TOOLS.INI" …
struct PackRoot
{
    QString path;
    QString origin;
};

// Where uVision on Windows takes packs from, for an MDK installation (empty for none) and
// %LOCALAPPDATA%: the RTEPATH of the installation's TOOLS.INI, then
// %LOCALAPPDATA%\Arm\Packs, then <root>\ARM\PACK, the first of them that is a folder; when
// none is, the first of them.
PackRoot windowsPackRoot(const QString &mdkRoot, const QString &localAppData);

// Where packs are looked for when no root is given: CMSIS_PACK_ROOT, then on Windows
// windowsPackRoot() of that installation, elsewhere $XDG_CACHE_HOME/arm/packs, by default
// ~/.cache/arm/packs.
PackRoot defaultPackRoot(const QString &mdkRoot);

// What a run on this machine takes from it when the user names nothing else: the MDK and
// C51 installations and the default pack root.
ConversionOptions installedUvisionOptions();

} // namespace Corvane

#endif
