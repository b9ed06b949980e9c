#include "model/cpu.h"

#include <QRegularExpression>
#include <QStringList>

namespace Corvane {

Cpu parseCpu(const QString &line)
{
    Cpu cpu;
    cpu.line = line;
    static const QRegularExpression cpuType(QStringLiteral("CPUTYPE\\(\"([^\"]+)\"\\)"));
    cpu.type = cpuType.match(line).captured(1);
    cpu.core = cpu.type.toLower();
    if (cpu.core.startsWith(QLatin1String("cortex-")))
        cpu.core.remove(0, 7);
    const QStringList tokens = line.toUpper().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &token : tokens) {
        if (token == QLatin1String("FPU3(DFPU)"))
            cpu.fpu = Cpu::Fpu::Fpv5Double;
        else if ((token == QLatin1String("FPU3(SFPU)") || token == QLatin1String("FPU3")) &&
                 cpu.fpu != Cpu::Fpu::Fpv5Double)
            cpu.fpu = Cpu::Fpu::Fpv5Single;
        else if (token == QLatin1String("FPU2") && cpu.fpu == Cpu::Fpu::None)
            cpu.fpu = Cpu::Fpu::Fpv4Single;
        else if (token == QLatin1String("DSP"))
            cpu.dsp = true;
        else if (token == QLatin1String("TZ"))
            cpu.trustZone = true;
        else if (token.startsWith(QLatin1String("MVE")))
            cpu.mve = token.contains(QLatin1String("FP")) ? Cpu::Mve::Float : Cpu::Mve::Integer;
    }
    return cpu;
}

} // namespace Corvane
