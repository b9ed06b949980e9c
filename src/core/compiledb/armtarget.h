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

// The language standard the target's compiler options name for a C (or C++) file, as clang's
// -std value; empty when they name none. Arm Compiler 5: uC99, and --c99, --c90 and --gnu in
// MiscControls (any letter case); Arm Compiler 6: v6Lang, and -std= in MiscControls.
QString languageStandard(const Target &target, bool cpp);

} // namespace Corvane

#endif
