#include "packs/packconditions.h"

#include <QRegularExpression>

namespace Corvane {

namespace {

bool wildcardMatch(const QString &pattern, const QString &value)
{
    if (!pattern.contains(QLatin1Char('*')) && !pattern.contains(QLatin1Char('?')))
        return pattern == value;
    const QRegularExpression re(QRegularExpression::anchoredPattern(
        QRegularExpression::wildcardToRegularExpression(pattern)));
    return re.match(value).hasMatch();
}

// Dvendor="STMicroelectronics:13": the name, and the number of the vendor list.
bool vendorMatches(const QString &pattern, const QString &value)
{
    const QString patternName = pattern.section(QLatin1Char(':'), 0, 0);
    const QString valueName = value.section(QLatin1Char(':'), 0, 0);
    const QString patternId = pattern.section(QLatin1Char(':'), 1);
    const QString valueId = value.section(QLatin1Char(':'), 1);
    if (!patternId.isEmpty() && !valueId.isEmpty())
        return patternId == valueId;
    return wildcardMatch(patternName, valueName);
}

// Processor features, written "1"/"0" by older packs and by name by newer ones.
bool hasFeature(const QString &value, const QString &none)
{
    return !value.isEmpty() && value != QLatin1String("0") && value != none;
}

bool deviceAttributeMatches(const QString &name, const QString &pattern, const PackDevice &device)
{
    const QString value = device.attributes.value(name);
    if (name == QLatin1String("Dvendor"))
        return vendorMatches(pattern, value);
    if (name == QLatin1String("Dname"))
        return wildcardMatch(pattern, value) ||
               wildcardMatch(pattern, device.attributes.value(QStringLiteral("Dvariant")));
    static const struct
    {
        const char *name;
        const char *none;
    } features[] = {{"Dfpu", "NO_FPU"},
                    {"Dmpu", "NO_MPU"},
                    {"Ddsp", "NO_DSP"},
                    {"Dmve", "NO_MVE"},
                    {"Dtz", "NO_TZ"}};
    for (const auto &f : features) {
        if (name == QLatin1String(f.name)) {
            const QString none = QLatin1String(f.none);
            if (pattern == none)
                return !hasFeature(value, none);
            // DP_FPU asks for more than SP_FPU; everything else asks for the feature.
            if (pattern == QLatin1String("DP_FPU"))
                return value == pattern;
            return hasFeature(value, none);
        }
    }
    if (name == QLatin1String("Dsecure") && value.isEmpty())
        return pattern == QLatin1String("Non-secure");
    return wildcardMatch(pattern, value);
}

bool termHolds(const PackDescription &description, const Attributes &term,
               const ConditionContext &context, int depth);

bool isMicrocontrollerCore(const QString &core)
{
    return !core.startsWith(QLatin1String("Cortex-A")) &&
           !core.startsWith(QLatin1String("Cortex-R")) &&
           !core.startsWith(QLatin1String("ARMV7A")) && !core.startsWith(QLatin1String("ARMV8A"));
}

bool holds(const PackDescription &description, const QString &id, const ConditionContext &context,
           int depth)
{
    if (id.isEmpty() || depth > 32)
        return true;
    const auto found = description.conditions.constFind(id);
    if (found == description.conditions.constEnd())
        return true;
    bool anyAccept = false;
    bool accepted = false;
    for (const ConditionTerm &term : found.value()) {
        const bool h = termHolds(description, term.attributes, context, depth);
        switch (term.kind) {
        case ConditionTerm::Require:
            if (!h)
                return false;
            break;
        case ConditionTerm::Deny:
            if (h)
                return false;
            break;
        case ConditionTerm::Accept:
            anyAccept = true;
            accepted = accepted || h;
            break;
        }
    }
    return !anyAccept || accepted;
}

bool termHolds(const PackDescription &description, const Attributes &term,
               const ConditionContext &context, int depth)
{
    Attributes componentTerms;
    for (auto it = term.cbegin(); it != term.cend(); ++it) {
        const QString &name = it.key();
        const QString &value = it.value();
        if (name == QLatin1String("condition")) {
            if (!holds(description, value, context, depth + 1))
                return false;
        } else if (name.startsWith(QLatin1Char('D')) || name == QLatin1String("Pname")) {
            if (context.device) {
                if (!deviceAttributeMatches(name, value, *context.device))
                    return false;
            } else if (name == QLatin1String("Dcore") && !isMicrocontrollerCore(value)) {
                // Of an unknown device, assume what uVision projects are made for: Cortex-M.
                return false;
            }
        } else if (name == QLatin1String("Tcompiler")) {
            if (value.compare(QLatin1String("ARMCC"), Qt::CaseInsensitive) != 0)
                return false;
        } else if (name == QLatin1String("Toptions")) {
            const QString options =
                context.armCompiler6 ? QStringLiteral("AC6") : QStringLiteral("AC5");
            if (!value.startsWith(options, Qt::CaseInsensitive))
                return false;
        } else if (name.startsWith(QLatin1Char('C'))) {
            componentTerms.insert(name, value);
        } else if (name.startsWith(QLatin1Char('B')) || name.startsWith(QLatin1Char('H'))) {
            return false; // boards and hosts are not known here
        }
    }
    if (componentTerms.isEmpty())
        return true;
    for (const Attributes &component : context.components) {
        if (componentMatches(componentTerms, component))
            return true;
    }
    return false;
}

} // namespace

bool componentMatches(const Attributes &wanted, const Attributes &component)
{
    for (auto it = wanted.cbegin(); it != wanted.cend(); ++it) {
        const QString &name = it.key();
        if (name == QLatin1String("Cversion") || name == QLatin1String("Capiversion") ||
            name == QLatin1String("condition") || !name.startsWith(QLatin1Char('C')))
            continue;
        if (!wildcardMatch(it.value(), component.value(name)))
            return false;
    }
    return true;
}

bool conditionHolds(const PackDescription &description, const QString &id,
                    const ConditionContext &context)
{
    return holds(description, id, context, 0);
}

} // namespace Corvane
