#ifndef CORVANE_ARMTARGET_H
#define CORVANE_ARMTARGET_H

#include "model/target.h"

#include <QStringList>

namespace Corvane {

// What clang needs to parse a file as the target's Arm compiler does: armclang's triple, the
// core from the CPU line's CPUTYPE("Cortex-M4"), its FPU (FPU2, FPU3(SFPU), FPU3(DFPU)) and
// extensions (DSP, MVE), and Thumb for M-profile cores. Only names clang knows are written;
// a core it does not know gives the triple alone.
QStringList armTargetFlags(const Cpu &cpu);

// The language standard a file's C settings `c` (its target's with its group's and its own
// on top) name for a C (or C++) file, as clang's -std value; empty when they name none. Arm
// Compiler 5: uC99, and --c99, --c90 and --gnu in MiscControls (any letter case); Arm
// Compiler 6: v6Lang, and -std= in MiscControls; GCC: -std= in MiscControls.
QString languageStandard(const Target &target, const CSettings &c, bool cpp);

// uVision's own view of the types and libraries, as clang flags: plain char's signedness
// (PlainCh), the size of enums and wchar_t (Arm Compiler 6's vShortEn and vShortWch; Arm
// Compiler 5's narrow enums unless EnumInt, and its 2-byte wchar_t), MicroLIB's
// __MICROLIB, and -mcmse for the Secure side of a TrustZone device.
QStringList typeFlags(const Target &target, const CSettings &c);

// What of MiscControls clang takes as it is: -D, -U, -I (a value apart joined to its option),
// -f... and -W... options, each one argument; never one that writes a file, loads a plugin
// or is handed on to another tool (-fplugin..., -fprofile..., -Wl,..., -Xclang, -o, -M...,
// --via). -std= is the language standard's.
QStringList miscFlags(const QString &miscControls);

} // namespace Corvane

#endif
