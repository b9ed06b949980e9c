#ifndef CORVANE_TARGET_H
#define CORVANE_TARGET_H

#include "model/cpu.h"

#include <QString>
#include <QVector>

namespace Corvane {

// Where a file of a target's groups goes in the .pro.
enum class FileList : quint8 {
    Sources,   // the target compiles or assembles it
    Headers,   // a header (FileType 5, header suffix) the target builds with
    DistFiles, // a document, an object or a library, or a file the target leaves out
};

// Whose options a value is among: the target's own, its groups' or its files'.
enum class OptionLevel : quint8 { Target, Group, File };

// Which tool's options: uVision keeps the C compiler's (<Cads>), the assembler's (<Aads>) and
// the linker's (<LDads>) apart; a value outside them is the target's, a group's or a file's
// own (a Device, a FilePath, IncludeInBuild).
enum class OptionTool : quint8 { None, C, Assembler, Linker };

// The settings of one C compiler option block (<Cads>): the target's, a group's or a file's.
// uVision's switches are 1 on and 0 off; a group's or a file's 2 means "as the level above"
// (for v6Lang, 0). -1: the project does not have it.
struct CSettings
{
    QString miscControls; // MiscControls: "--c99 --gnu", "-std=c11 -Wno-x" ...
    int c99 = -1;         // uC99: Arm Compiler 5 in C99 mode
    int v6Lang = -1;      // v6Lang: Arm Compiler 6's C language, 0 for its default
    int plainChar = -1;   // PlainCh: plain char is signed
    int shortEnums = -1;  // vShortEn: Arm Compiler 6's -fshort-enums
    int shortWchar = -1;  // vShortWch: Arm Compiler 6's -fshort-wchar
    int enumInt = -1;     // EnumInt: Arm Compiler 5's enums are always int

    // These settings with a group's or a file's on top: its switches where it sets them.
    CSettings with(const CSettings &below) const;
};

// A value of a target that the .pro carries, in the order the project holds it.
struct TargetValue
{
    // Group: a group of files begins (its name); its option values follow, then its files.
    enum Kind : quint8 { Device, Define, IncludePath, File, Group };

    Kind kind = Device;
    FileList list = FileList::Sources; // for a file: the list it goes to
    // Trimmed, character references decoded. A file's path is unquoted, with '/' separators.
    QString text;
    quint8 fileType = 0; // for a file: its FileType (see UvFileType); 0 when none
    OptionLevel level = OptionLevel::Target;
    OptionTool tool = OptionTool::None;
    // A group's or a file's C settings, in its target's cSettings; -1 for none.
    int settings = -1;
};

// One target of a uVision project: its values as the project holds them, and what decides
// how uVision compiles it.
struct Target
{
    QString name;              // TargetName; empty for a project that names no target
    QString toolset;           // ToolsetName: "ARM-ADS" for Arm compilers, "MCS-51" for C51
    QString device;            // Device, as selected in uVision (a Dname or Dvariant)
    QString packId;            // PackID of the device family pack: Vendor.Name.Version
    QString registerFile;      // RegisterFile; "$$Device:NAME$path" names the device header
    bool armCompiler6 = false; // uAC6: Arm Compiler 6 instead of 5
    Cpu cpu;                   // Cpu: "IRAM(...) IROM(...) CPUTYPE("Cortex-M4") FPU2 ..."
    QString registerFilePath;  // RegisterFilePath: "ST\STM32F10x\" below the installation's INC
    CSettings c;               // the target's own C compiler options (<Cads>)
    // Those of its groups and files (see TargetValue::settings).
    QVector<CSettings> cSettings;
    bool microLib = false;   // useUlib: MicroLIB instead of the standard C library
    int secure = 0;          // nSecure: 1 for the Secure side of a TrustZone device
    QString outputDirectory; // OutputDirectory: ".\Objects\", where objects and the image go
    // What the target links: <OutputDirectory><OutputName>.axf, or a library instead.
    QString outputName;
    bool createExecutable = false; // CreateExecutable
    bool createLib = false;        // CreateLib
    // Every Device, Define, IncludePath and FilePath of the target, in project order. The
    // fields above hold the first value of their kind: the debug options of old projects
    // repeat some of them.
    QVector<TargetValue> values;

    // The device as the RegisterFile names it, for projects without PackID.
    QString registerFileDevice() const
    {
        static const QString prefix = QStringLiteral("$$Device:");
        if (!registerFile.startsWith(prefix))
            return QString();
        const int end = registerFile.indexOf(QLatin1Char('$'), prefix.size());
        return registerFile.mid(prefix.size(), end < 0 ? -1 : end - prefix.size());
    }

    // An Arm target (ToolsetName "ARM-ADS", or "ARM-GNU"); without a ToolsetName nothing is
    // known.
    bool armToolset() const { return toolset.startsWith(QLatin1String("ARM")); }
    // Compiled with GCC through uVision's GNU toolset.
    bool gnuToolset() const { return toolset == QLatin1String("ARM-GNU"); }
    // Compiled with Arm Compiler 5 (armcc), whose keywords clang does not know.
    bool armCompiler5() const { return armToolset() && !gnuToolset() && !armCompiler6; }

    // Links an ELF program, <OutputDirectory><OutputName>.axf, that a debugger loads. C51
    // writes an OMF file with no suffix instead.
    bool linksProgram() const { return armToolset() && createExecutable && !createLib; }

    // uVision's folder for the target's RTE_Components.h: RTE/_<name>, blanks as '_'.
    QString rteFolder() const
    {
        return QStringLiteral("RTE/_") + QString(name).replace(QLatin1Char(' '), QLatin1Char('_'));
    }
};

} // namespace Corvane

#endif
