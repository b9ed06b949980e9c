#ifndef CORVANE_RTE_H
#define CORVANE_RTE_H

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace Corvane {

// A pack as a project records it: <package vendor="ARM" name="CMSIS" version="5.9.0"/>.
struct PackRef
{
    QString vendor;
    QString name;
    QString version; // empty: any version

    bool isValid() const { return !vendor.isEmpty() && !name.isEmpty(); }
    // "Vendor.Name.Version", the way uVision's PackID spells it.
    QString id() const
    {
        return vendor + QLatin1Char('.') + name +
               (version.isEmpty() ? QString() : QLatin1Char('.') + version);
    }
    bool operator==(const PackRef &o) const
    {
        return vendor == o.vendor && name == o.name && version == o.version;
    }

    // "Keil.STM32F4xx_DFP.2.14.0": vendor and name contain no dot, the version may.
    static PackRef fromPackId(const QString &packId)
    {
        PackRef ref;
        const int first = packId.indexOf(QLatin1Char('.'));
        if (first <= 0)
            return ref;
        const int second = packId.indexOf(QLatin1Char('.'), first + 1);
        ref.vendor = packId.left(first);
        ref.name = packId.mid(first + 1, second < 0 ? -1 : second - first - 1);
        ref.version = second < 0 ? QString() : packId.mid(second + 1);
        return ref;
    }
};

// The attributes of a tag, decoded: Cclass, Cgroup, condition ...
using Attributes = QHash<QString, QString>;

// <targetInfos>: the targets an RTE item belongs to.
struct TargetInfos
{
    QStringList included;
    QStringList excluded; // <targetInfo name="T" excluded="1"/>
    bool listed = false;  // the item has a <targetInfos> element at all

    // Items without <targetInfos> belong to every target.
    bool contain(const QString &target) const { return listed ? included.contains(target) : true; }
};

// A component selected in the project's Run-Time Environment.
struct RteComponent
{
    Attributes attributes; // Cclass, Cgroup, Csub, Cvariant, Cvendor, Cversion, condition ...
    PackRef package;
    TargetInfos targets;
};

// A file a component copied into the project (attr="config"), or another file the RTE
// records.
struct RteFile
{
    Attributes attributes; // attr, category, name, condition, version
    QString instance;      // the copy in the project: RTE\Device\<device>\system_x.c
    bool removed = false;
    Attributes component;
    PackRef package;
    TargetInfos targets;
};

// An API a component implements, and the pack that describes it.
struct RteApi
{
    Attributes attributes; // Cclass, Cgroup, Capiversion
    PackRef package;
    TargetInfos targets;
};

// A generator's description of the components it made (FrameworkCubeMX.gpdsc).
struct RteGpdsc
{
    QString name; // as the project names it, relative to the project folder
    TargetInfos targets;
};

// The <RTE> section of a project.
struct RteSection
{
    bool present = false;
    QList<RteComponent> components;
    QList<RteFile> files;
    QList<RteApi> apis;
    QList<RteGpdsc> gpdscs;

    // The components selected for a target.
    QList<RteComponent> componentsOf(const QString &target) const
    {
        QList<RteComponent> result;
        for (const RteComponent &c : components) {
            if (c.targets.contain(target))
                result.append(c);
        }
        return result;
    }
};

} // namespace Corvane

#endif
