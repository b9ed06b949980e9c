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

namespace {

// MiscControls split as a shell would: blanks outside double quotes separate, the quotes go.
QStringList splitOptions(const QString &text)
{
    QStringList options;
    QString current;
    bool quoted = false;
    bool any = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            any = true;
        } else if (c.isSpace() && !quoted) {
            if (any)
                options.append(current);
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (any)
        options.append(current);
    return options;
}

} // namespace

QString languageStandard(const Target &target, const CSettings &c, bool cpp)
{
    const QStringList options = splitOptions(c.miscControls);
    if (!target.armCompiler6 && !target.gnuToolset()) {
        // armcc compiles C as C90 unless told otherwise, C++ as C++03 or by --cpp11.
        if (cpp)
            return QString();
        QString standard = c.c99 == 1 ? QStringLiteral("c99") : QString();
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
    if (!cpp && target.armCompiler6 && c.v6Lang >= 1 && c.v6Lang <= 6)
        standard = QLatin1String(languages[c.v6Lang - 1]);
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

QStringList typeFlags(const Target &target, const CSettings &c)
{
    QStringList flags;
    // GCC's targets say theirs in their own MiscControls.
    if (target.gnuToolset())
        return flags;
    // Plain char is unsigned on Arm unless PlainCh says otherwise.
    if (c.plainChar >= 0)
        flags << (c.plainChar == 1 ? QStringLiteral("-fsigned-char")
                                   : QStringLiteral("-funsigned-char"));
    if (target.armCompiler6) {
        if (c.shortEnums == 1)
            flags << QStringLiteral("-fshort-enums");
        if (c.shortWchar == 1)
            flags << QStringLiteral("-fshort-wchar");
    } else if (target.armToolset()) {
        // armcc's enums are as small as their values allow unless --enum_is_int; its wchar_t
        // has 2 bytes.
        if (c.enumInt != 1)
            flags << QStringLiteral("-fshort-enums");
        flags << QStringLiteral("-fshort-wchar");
    }
    if (target.microLib)
        flags << QStringLiteral("-D__MICROLIB");
    // The Secure side of an Armv8-M TrustZone device (CMSE's intrinsics and attributes).
    static const QStringList trustZone = {QStringLiteral("m23"),  QStringLiteral("m33"),
                                          QStringLiteral("m35p"), QStringLiteral("m55"),
                                          QStringLiteral("m85"),  QStringLiteral("m52")};
    if (target.secure == 1 && trustZone.contains(target.cpu.core))
        flags << QStringLiteral("-mcmse");
    return flags;
}

QStringList miscFlags(const QString &miscControls)
{
    // Options that write a file, load a plugin or run something are not taken, nor those
    // handed on to another tool.
    static const QRegularExpression refused(QStringLiteral(
        "^-(f(plugin|pass-plugin|profile|dump|save|crash|time-trace|stack-usage|modules-cache|"
        "coverage|record)|W[alp],)"));
    QStringList flags;
    const QStringList options = splitOptions(miscControls);
    for (int i = 0; i < options.size(); ++i) {
        const QString &option = options.at(i);
        if (option == QLatin1String("-D") || option == QLatin1String("-U") ||
            option == QLatin1String("-I")) {
            // The value as an argument of its own: one argument for clang.
            if (i + 1 < options.size())
                flags << option + options.at(++i);
            continue;
        }
        const bool taken =
            (option.startsWith(QLatin1String("-D")) || option.startsWith(QLatin1String("-U")) ||
             option.startsWith(QLatin1String("-I")) || option.startsWith(QLatin1String("-f")) ||
             option.startsWith(QLatin1String("-W"))) &&
            option.size() > 2 && !refused.match(option).hasMatch();
        if (taken)
            flags << option;
    }
    return flags;
}

} // namespace Corvane
