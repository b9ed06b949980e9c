#include "compiledb/armtarget.h"

#include <QRegularExpression>

namespace Corvane {

namespace {

// CPUTYPE names without "Cortex-", lower case, and clang's -mcpu for each.
struct Core
{
    const char *cpuType;
    const char *clang;
    bool mProfile;
};

const Core cores[] = {
    {"m0", "cortex-m0", true},
    {"m0+", "cortex-m0plus", true},
    {"m1", "cortex-m1", true},
    {"m3", "cortex-m3", true},
    {"m4", "cortex-m4", true},
    {"m7", "cortex-m7", true},
    {"m23", "cortex-m23", true},
    {"m33", "cortex-m33", true},
    {"m35p", "cortex-m35p", true},
    {"m55", "cortex-m55", true},
    // Armv8.1-M cores that clang before 15 (M85) and 19 (M52) does not know by name.
    {"m85", nullptr, true},
    {"m52", nullptr, true},
    {"sc000", "sc000", true},
    {"sc300", "sc300", true},
    {"arm7tdmi", "arm7tdmi", false},
    {"arm7tdmi-s", "arm7tdmi-s", false},
    {"arm920t", "arm920t", false},
    {"arm926ej-s", "arm926ej-s", false},
    {"arm966e-s", "arm966e-s", false},
    {"arm968e-s", "arm968e-s", false},
    {"r4", "cortex-r4", false},
    {"r4f", "cortex-r4f", false},
    {"r5", "cortex-r5", false},
    {"a5", "cortex-a5", false},
    {"a7", "cortex-a7", false},
    {"a8", "cortex-a8", false},
    {"a9", "cortex-a9", false},
};

} // namespace

QStringList armTargetFlags(const Cpu &cpu)
{
    QStringList flags{QStringLiteral("--target=arm-arm-none-eabi")};
    const QString &name = cpu.core;
    const Core *core = nullptr;
    for (const Core &c : cores) {
        if (name == QLatin1String(c.cpuType))
            core = &c;
    }
    if (!core)
        return flags;
    if (!core->mProfile)
        return flags << QStringLiteral("-mcpu=") + QLatin1String(core->clang);

    if (core->clang) {
        QString mcpu = QStringLiteral("-mcpu=") + QLatin1String(core->clang);
        // DSP and MVE are optional in these cores, and clang's defaults have them.
        if ((name == QLatin1String("m33") || name == QLatin1String("m35p")) && !cpu.dsp)
            mcpu += QLatin1String("+nodsp");
        if (name == QLatin1String("m55") && cpu.mve == Cpu::Mve::None)
            mcpu += QLatin1String("+nomve");
        else if (name == QLatin1String("m55") && cpu.mve != Cpu::Mve::Float)
            mcpu += QLatin1String("+nomve.fp");
        flags << mcpu;
    } else {
        QString march = QStringLiteral("-march=armv8.1-m.main");
        if (cpu.dsp || name == QLatin1String("m85"))
            march += QLatin1String("+dsp");
        if (cpu.mve != Cpu::Mve::None)
            march += cpu.mve == Cpu::Mve::Float ? QLatin1String("+mve.fp") : QLatin1String("+mve");
        flags << march;
    }
    switch (cpu.fpu) {
    case Cpu::Fpu::Fpv5Double:
        flags << QStringLiteral("-mfpu=fpv5-d16") << QStringLiteral("-mfloat-abi=hard");
        break;
    case Cpu::Fpu::Fpv5Single:
        flags << QStringLiteral("-mfpu=fpv5-sp-d16") << QStringLiteral("-mfloat-abi=hard");
        break;
    case Cpu::Fpu::Fpv4Single:
        flags << QStringLiteral("-mfpu=fpv4-sp-d16") << QStringLiteral("-mfloat-abi=hard");
        break;
    case Cpu::Fpu::None:
        flags << QStringLiteral("-mfpu=none") << QStringLiteral("-mfloat-abi=soft");
        break;
    }
    return flags << QStringLiteral("-mthumb");
}

QString languageStandard(const Target &target, bool cpp)
{
    const QStringList options =
        target.cMiscControls.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    if (!target.armCompiler6) {
        // armcc compiles C as C90 unless told otherwise, C++ as C++03 or by --cpp11.
        if (cpp)
            return QString();
        QString standard = target.c99 ? QStringLiteral("c99") : QString();
        bool gnu = false;
        for (const QString &option : options) {
            const QString lower = option.toLower();
            if (lower == QLatin1String("--c99") || lower == QLatin1String("--c90"))
                standard = lower.mid(2);
            gnu = gnu || lower == QLatin1String("--gnu");
        }
        if (gnu && !standard.isEmpty())
            standard.replace(0, 1, QStringLiteral("gnu"));
        return standard;
    }
    // v6Lang as uVision lists the choices: 1 c90, 2 gnu90, 3 c99, 4 gnu99, 5 c11, 6 gnu11.
    static const char *const languages[] = {"c90", "gnu90", "c99", "gnu99", "c11", "gnu11"};
    QString standard;
    if (!cpp && target.v6Lang >= 1 && target.v6Lang <= 6)
        standard = QLatin1String(languages[target.v6Lang - 1]);
    // Only a standard clang knows: the value becomes an option of its own.
    static const QRegularExpression cStandard(
        QStringLiteral("^--?std=((c|gnu)(89|90|99|11|17|18|2x|23))$"));
    static const QRegularExpression cppStandard(
        QStringLiteral("^--?std=((c|gnu)\\+\\+(98|03|11|14|17|1z|20|2a|23|2b))$"));
    for (const QString &option : options) {
        const QRegularExpressionMatch named = (cpp ? cppStandard : cStandard).match(option);
        if (named.hasMatch())
            standard = named.captured(1);
    }
    return standard;
}

} // namespace Corvane
