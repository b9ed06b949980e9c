#ifndef CORVANE_CPU_H
#define CORVANE_CPU_H

#include <QString>

namespace Corvane {

// A target's processor as its CPU line gives it:
//   IRAM(0x20000000,0x8000) IROM(0x8000000,0x80000) CPUTYPE("Cortex-M4") FPU2 CLOCK(12000000)
struct Cpu
{
    enum class Fpu { None, Fpv4Single, Fpv5Single, Fpv5Double };
    enum class Mve { None, Integer, Float };

    QString line; // as the project writes it
    QString type; // CPUTYPE as written, the packs' Dcore: "Cortex-M4"; empty when none
    // The same in lower case without "cortex-": "m4", "m0+", "arm7tdmi".
    QString core;
    Fpu fpu = Fpu::None;    // FPU2, FPU3(SFPU) or FPU3, FPU3(DFPU)
    bool dsp = false;       // DSP
    bool trustZone = false; // TZ
    Mve mve = Mve::None;    // MVE(INT), MVE(FP)

    bool hasFpu() const { return fpu != Fpu::None; }
};

Cpu parseCpu(const QString &line);

} // namespace Corvane

#endif
