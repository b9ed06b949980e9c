#include "packs/targetadditions.h"

#include "common/filekind.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace Corvane {

namespace {

void appendOnce(QStringList &list, const QString &value)
{
    if (!value.isEmpty() && !list.contains(value))
        list.append(value);
}

QString slashed(const QString &path)
{
    return QString(path).replace(QLatin1Char('\\'), QLatin1Char('/'));
}

// The folder of a relative path as the project names it: "RTE/Device/X" of
// "RTE/Device/X/system.c", empty for a file at the top.
QString folderOf(const QString &path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QString() : path.left(slash);
}

bool isSourceFile(const QString &category, const QString &path)
{
    if (category.startsWith(QLatin1String("source")))
        return true;
    return (category.isEmpty() || category == QLatin1String("other")) &&
           isSourceKind(fileKind(path));
}

bool isHeaderFile(const QString &category, const QString &path)
{
    if (category == QLatin1String("header"))
        return true;
    return (category.isEmpty() || category == QLatin1String("other")) &&
           fileKind(path) == FileKind::Header;
}

// Toolsets whose targets take CMSIS packs: the Arm compilers ("ARM-ADS"); C51 and C251
// projects have none.
bool usesPacks(const Target &target)
{
    return target.toolset.isEmpty() || target.toolset.startsWith(QLatin1String("ARM"));
}

QString deviceName(const Target &target)
{
    // "LPC55S69JBD100:cm33_core0" names one processor of a device.
    const QString device = target.device.isEmpty() ? target.registerFileDevice() : target.device;
    return device.section(QLatin1Char(':'), 0, 0);
}

// A version's major number: 6 of "6.0.0-dev"; -1 for none.
int majorVersion(const QString &version)
{
    int digits = 0;
    while (digits < version.size() && version.at(digits).isDigit())
        ++digits;
    return digits ? version.left(digits).toInt() : -1;
}

// "Vendor.Name", as the notices name a pack.
QString packName(const PackRef &pack)
{
    return pack.vendor + QLatin1Char('.') + pack.name;
}

// A folder of a Keil installation, when it is there.
bool addInstalled(const QString &root, const QString &folder, const char *product,
                  TargetAdditions &out)
{
    const QString path = QDir::cleanPath(root + QLatin1Char('/') + folder);
    if (root.isEmpty() || !QFileInfo(path).isDir())
        return false;
    appendOnce(out.packFolders, path);
    out.fromInstallation =
        QLatin1String(product) + QStringLiteral(" in ") + QDir::toNativeSeparators(root);
    return true;
}

} // namespace

// What a target takes from one pack.
struct AdditionFinder::Request
{
    PackRef pack;
    QString device; // the device, for the device family pack
    QList<Attributes> components;
    QList<Attributes> apis;
};

AdditionFinder::AdditionFinder(const Project &project, const QString &projectDir,
                               PackRepository *packs)
    : m_project(project), m_projectDir(projectDir), m_packs(packs)
{}

void AdditionFinder::notice(Notice::Kind kind, const QStringList &args, const QString &target)
{
    addNotice(m_notices, {kind, args, {target}});
}

TargetAdditions AdditionFinder::additionsFor(const QString &targetName)
{
    TargetAdditions out;
    const Target *found = m_project.target(targetName);
    const Target target = found ? *found : Target();
    addRte(target, out);
    if (target.toolset == QLatin1String("MCS-51")) {
        addC51Folders(target, out);
        return out;
    }
    if (!usesPacks(target))
        return out;
    const QList<RteComponent> selected = m_project.rte.componentsOf(target.name);
    // MDK compiles targets without a CMSIS Core component with its own Core headers.
    const bool hasCore = std::any_of(selected.cbegin(), selected.cend(), [](const RteComponent &c) {
        return c.attributes.value(QStringLiteral("Cclass")) == QLatin1String("CMSIS") &&
               c.attributes.value(QStringLiteral("Cgroup")) == QLatin1String("CORE");
    });
    if (!m_packs) {
        addMdkFolders(target, hasCore, nullptr, out);
        return out;
    }

    // The device and the components decide which files of a pack count.
    ConditionContext context;
    context.armCompiler6 = target.armCompiler6;
    for (const RteComponent &c : selected)
        context.components.append(c.attributes);

    QString deviceFolder;
    const PackDevice *device = findDevice(target, &deviceFolder);
    // Without the device's pack, the project's own CPU line tells the core and its FPU.
    PackDevice fromCpu;
    if (!device && !target.cpu.type.isEmpty()) {
        fromCpu.attributes.insert(QStringLiteral("Dcore"), target.cpu.type);
        fromCpu.attributes.insert(QStringLiteral("Dfpu"),
                                  target.cpu.fpu == Cpu::Fpu::Fpv5Double ? QStringLiteral("DP_FPU")
                                  : target.cpu.hasFpu()                  ? QStringLiteral("SP_FPU")
                                                        : QStringLiteral("NO_FPU"));
        context.device = &fromCpu;
    } else {
        context.device = device;
    }

    // Each component from its pack, with the API it implements.
    QList<Request> requests;
    auto requestFor = [&requests](const PackRef &pack) -> Request & {
        for (Request &r : requests) {
            if (r.pack == pack)
                return r;
        }
        requests.append(Request());
        requests.last().pack = pack;
        return requests.last();
    };
    for (const RteComponent &c : selected) {
        if (!c.package.isValid())
            continue;
        requestFor(c.package).components.append(c.attributes);
        if (c.attributes.value(QStringLiteral("Capiversion")).isEmpty())
            continue;
        for (const RteApi &api : m_project.rte.apis) {
            if (api.attributes.value(QStringLiteral("Cclass")) ==
                    c.attributes.value(QStringLiteral("Cclass")) &&
                api.attributes.value(QStringLiteral("Cgroup")) ==
                    c.attributes.value(QStringLiteral("Cgroup")) &&
                api.targets.contain(target.name)) {
                requestFor(api.package.isValid() ? api.package : c.package)
                    .apis.append(api.attributes);
                break;
            }
        }
    }
    for (const Request &request : qAsConst(requests)) {
        const QString version = resolve(request, target);
        if (version.isEmpty())
            continue;
        const PackDescription *description =
            m_packs->description(request.pack.vendor, request.pack.name, version);
        const QString folder = m_packs->folder(request.pack.vendor, request.pack.name, version);
        for (const Attributes &wanted : request.components) {
            if (const PackComponent *component = findComponent(*description, wanted, context))
                addFolders(*component, *description, folder, context, out);
        }
        for (const Attributes &wanted : request.apis) {
            for (const PackComponent &api : description->apis) {
                if (componentMatches(wanted, api.attributes)) {
                    addFolders(api, *description, folder, context, out);
                    break;
                }
            }
        }
    }

    if (device) {
        if (!device->define.isEmpty()) {
            appendOnce(out.defines, device->define);
            out.fromPacks = true;
        }
        const QString headerFolder =
            QFileInfo(deviceFolder + QLatin1Char('/') + device->header).path();
        if (!device->header.isEmpty() && QFileInfo(headerFolder).isDir()) {
            appendOnce(out.packFolders, QDir::cleanPath(headerFolder));
            out.fromPacks = true;
        }
    }

    addMdkFolders(target, hasCore, &context, out);
    return out;
}

// What MDK compiles an Arm target with from its installation: its own CMSIS Core headers
// when the target has no Core component (without them in the installation, the stand-in
// from the pack root), and for a device of MDK's legacy support, which has no pack,
// ARM/INC/<RegisterFilePath>.
void AdditionFinder::addMdkFolders(const Target &target, bool hasCore,
                                   const ConditionContext *context, TargetAdditions &out)
{
    if (!hasCore && !addInstalled(m_mdkRoot, QStringLiteral("ARM/CMSIS/Include"), "MDK", out) &&
        context)
        addCmsisCore(*context, out);
    if (target.packId.isEmpty() && !target.registerFilePath.isEmpty())
        addInstalled(m_mdkRoot, QStringLiteral("ARM/INC/") + slashed(target.registerFilePath),
                     "MDK", out);
}

// C51 compiles with its INC folder and the register file's folder below it ("Nuvoton\").
void AdditionFinder::addC51Folders(const Target &target, TargetAdditions &out)
{
    if (addInstalled(m_c51Root, QStringLiteral("C51/INC"), "C51", out) &&
        !target.registerFilePath.isEmpty())
        addInstalled(m_c51Root, QStringLiteral("C51/INC/") + slashed(target.registerFilePath),
                     "C51", out);
}

// RTE/_<Target>, _RTE_ and the config files the project keeps of its components, and the
// header folders of a generator's components. No pack is needed for any of it.
void AdditionFinder::addRte(const Target &target, TargetAdditions &out)
{
    const RteSection &rte = m_project.rte;
    if (target.name.isEmpty())
        return;
    const bool hasComponents = !rte.componentsOf(target.name).isEmpty();
    if (hasComponents) {
        appendOnce(out.includeFolders, target.rteFolder());
        appendOnce(out.defines, QStringLiteral("_RTE_"));
    } else if (!target.packId.isEmpty() &&
               QFileInfo(m_projectDir + QLatin1Char('/') + target.rteFolder()).isDir()) {
        appendOnce(out.includeFolders, target.rteFolder());
    }
    for (const RteFile &file : rte.files) {
        if (file.removed || file.instance.isEmpty() || !file.targets.contain(target.name))
            continue;
        const QString path = slashed(file.instance);
        const QString category = file.attributes.value(QStringLiteral("category"));
        appendOnce(out.includeFolders, folderOf(path));
        if (isHeaderFile(category, path))
            appendOnce(out.headers, path);
        else if (isSourceFile(category, path))
            appendOnce(out.sources, path);
    }
    for (const RteGpdsc &gpdsc : rte.gpdscs) {
        if (gpdsc.name.isEmpty() || !gpdsc.targets.contain(target.name))
            continue;
        const QString named = slashed(gpdsc.name);
        // Targets of a project share one generator: its description is read once a run.
        auto cached = m_gpdscs.constFind(named);
        if (cached == m_gpdscs.constEnd()) {
            QFile file(QDir(m_projectDir).filePath(named));
            cached = m_gpdscs.insert(named, file.open(QIODevice::ReadOnly)
                                                ? readPackDescription(file.readAll())
                                                : PackDescription());
        }
        // The generator writes it next to the project; a repository often leaves it out.
        if (!QFileInfo(QDir(m_projectDir).filePath(named)).isFile())
            notice(Notice::Kind::GeneratorMissing, {named}, target.name);
        const PackDescription &description = cached.value();
        const QString base = folderOf(named);
        for (const PackComponent &component : description.components) {
            for (const PackFile &f : component.files) {
                QString folder = slashed(f.name());
                if (f.category() == QLatin1String("header"))
                    folder = folderOf(folder);
                else if (f.category() != QLatin1String("include"))
                    continue;
                folder =
                    QDir::cleanPath(base.isEmpty() ? folder : base + QLatin1Char('/') + folder);
                if (!folder.isEmpty() && folder != QLatin1String("."))
                    appendOnce(out.includeFolders, folder);
            }
        }
    }
    out.fromRte = !out.isEmpty();
}

// The device of a target, from the pack its PackID names, or, for projects that name only
// a device (RegisterFile "$$Device:NAME$..."), from whichever installed pack describes it.
const PackDevice *AdditionFinder::findDevice(const Target &target, QString *packFolder)
{
    const QString device = deviceName(target);
    if (!target.packId.isEmpty()) {
        Request request;
        request.pack = PackRef::fromPackId(target.packId);
        request.device = device;
        if (!request.pack.isValid())
            return nullptr;
        // The pack is named even when the device is not: say when it is missing.
        const QString version = resolve(request, target);
        if (version.isEmpty() || device.isEmpty())
            return nullptr;
        const PackDescription *description =
            m_packs->description(request.pack.vendor, request.pack.name, version);
        const PackDevice *found = description->device(device);
        if (!found) {
            notice(Notice::Kind::DeviceNotDescribed, {device, packName(request.pack), version},
                   target.name);
            return nullptr;
        }
        *packFolder = m_packs->folder(request.pack.vendor, request.pack.name, version);
        return found;
    }
    // Without a PackID only a "$$Device:" register file names a device.
    if (device.isEmpty() || target.registerFileDevice().isEmpty())
        return nullptr;
    if (!m_devicesSearched) {
        // One look through every installed pack for all such targets of the project.
        QStringList devices;
        for (const Target &t : m_project.targets) {
            if (t.packId.isEmpty() && !t.registerFileDevice().isEmpty() && usesPacks(t))
                appendOnce(devices, deviceName(t));
        }
        m_devicePacks = m_packs->packsDescribing(devices);
        m_devicesSearched = true;
    }
    // Prefer a pack whose device header is there, then the newest; only that one is read.
    const DevicePack *best = nullptr;
    bool bestHasHeader = false;
    const QList<DevicePack> candidates = m_devicePacks.value(device);
    for (const DevicePack &candidate : candidates) {
        const PackRef &pack = candidate.pack;
        const bool hasHeader = !candidate.header.isEmpty() &&
                               QFileInfo(m_packs->folder(pack.vendor, pack.name, pack.version) +
                                         QLatin1Char('/') + candidate.header)
                                   .isFile();
        const bool better = !best || (hasHeader && !bestHasHeader) ||
                            (hasHeader == bestHasHeader && pack.name == best->pack.name &&
                             PackRepository::compareVersions(pack.version, best->pack.version) > 0);
        if (better) {
            best = &candidate;
            bestHasHeader = hasHeader;
        }
    }
    if (!best)
        return nullptr;
    const PackRef &pack = best->pack;
    *packFolder = m_packs->folder(pack.vendor, pack.name, pack.version);
    // Changed since it was searched, it may describe the device no more.
    const PackDescription *description = m_packs->description(pack.vendor, pack.name, pack.version);
    return description ? description->device(device) : nullptr;
}

// The pack root as the notices name it: "D:\Keil_v5\ARM\PACK (from RTEPATH in …)".
QString AdditionFinder::packRootNamed() const
{
    const QString root = QDir::toNativeSeparators(m_packs->root());
    return m_packs->origin().isEmpty()
               ? root
               : root + QStringLiteral(" (from ") + m_packs->origin() + QLatin1Char(')');
}

// The version of a pack that a target uses: the one the project names when it is
// installed, otherwise the newest installed version that has everything the target takes
// from the pack (for the device, preferably with its header); empty when none is installed.
QString AdditionFinder::resolve(const Request &request, const Target &forTarget)
{
    const QString &target = forTarget.name;
    const PackRef &pack = request.pack;
    // Newest first; without the version the project names, its major version's first: a
    // 5.x stands in for 5.6.0 better than 6.1.0 does. An Arm Compiler 5 target never gets
    // CMSIS 6 while there is an older one: CMSIS 6 dropped armcc's headers.
    QStringList versions = m_packs->versions(pack.vendor, pack.name);
    const QStringList newest = versions;
    const int major = majorVersion(pack.version);
    if (!pack.version.isEmpty())
        std::stable_partition(versions.begin(), versions.end(),
                              [major](const QString &v) { return majorVersion(v) == major; });
    const bool cmsis5 = forTarget.armCompiler5() && pack.vendor == QLatin1String("ARM") &&
                        pack.name == QLatin1String("CMSIS");
    if (cmsis5)
        std::stable_partition(versions.begin(), versions.end(),
                              [](const QString &v) { return majorVersion(v) < 6; });
    if (versions.isEmpty()) {
        notice(Notice::Kind::PackNotInstalled, {packName(pack), pack.version, packRootNamed()},
               target);
        return QString();
    }
    auto usable = [&](const QString &version, bool needHeader) {
        const PackDescription *description = m_packs->description(pack.vendor, pack.name, version);
        if (!description->isValid())
            return false;
        if (!request.device.isEmpty()) {
            const PackDevice *device = description->device(request.device);
            if (!device)
                return false;
            if (needHeader && (device->header.isEmpty() ||
                               !QFileInfo(m_packs->folder(pack.vendor, pack.name, version) +
                                          QLatin1Char('/') + device->header)
                                    .isFile()))
                return false;
        }
        ConditionContext any;
        for (const Attributes &wanted : request.components) {
            if (!findComponent(*description, wanted, any))
                return false;
        }
        for (const Attributes &wanted : request.apis) {
            if (std::none_of(description->apis.cbegin(), description->apis.cend(),
                             [&wanted](const PackComponent &api) {
                                 return componentMatches(wanted, api.attributes);
                             }))
                return false;
        }
        return true;
    };
    if (versions.contains(pack.version)) {
        const PackDescription *description =
            m_packs->description(pack.vendor, pack.name, pack.version);
        if (description->isValid())
            return pack.version;
        notice(Notice::Kind::PackUnreadable, {packName(pack), pack.version, description->error},
               target);
    }
    // The first version in `order` that has everything the target takes, the device's
    // header first; empty when none has.
    auto pick = [&](const QStringList &order) {
        for (const bool needHeader : {true, false}) {
            if (needHeader && request.device.isEmpty())
                continue;
            for (const QString &version : order) {
                if (usable(version, needHeader))
                    return version;
            }
        }
        return QString();
    };
    auto instead = [&](const QString &version) {
        if (pack.version.isEmpty() || version == pack.version)
            return version;
        // Why, when the newest that has it all is not the one.
        QString why;
        const QString plain = pick(newest);
        if (!plain.isEmpty() && plain != version)
            why = cmsis5 && majorVersion(plain) >= 6
                      ? QStringLiteral("Arm Compiler 5 takes no CMSIS 6")
                      : QStringLiteral("the newest of version %1").arg(major);
        notice(Notice::Kind::PackUsedInstead,
               {packName(pack), pack.version, packRootNamed(), version, why}, target);
        return version;
    };
    const QString chosen = pick(versions);
    if (!chosen.isEmpty())
        return instead(chosen);
    // Nothing has all of it: the newest readable version gives what it has.
    for (const QString &version : versions) {
        const PackDescription *description = m_packs->description(pack.vendor, pack.name, version);
        if (description->isValid())
            return instead(version);
        notice(Notice::Kind::PackUnreadable, {packName(pack), version, description->error}, target);
    }
    return QString();
}

// The component of a pack that the project selected: same class, group, sub-group, variant
// and vendor; among several (Cortex-M and Cortex-A Core), the one of the condition the project
// recorded, else the first whose condition holds.
const PackComponent *AdditionFinder::findComponent(const PackDescription &description,
                                                   const Attributes &wanted,
                                                   const ConditionContext &context)
{
    Attributes key;
    for (const char *name : {"Cclass", "Cgroup", "Csub", "Cvariant", "Cvendor"}) {
        const QString value = wanted.value(QLatin1String(name));
        if (!value.isEmpty())
            key.insert(QLatin1String(name), value);
    }
    QList<const PackComponent *> matches;
    for (const PackComponent &component : description.components) {
        Attributes attributes = component.attributes;
        if (!attributes.contains(QStringLiteral("Cvendor")))
            attributes.insert(QStringLiteral("Cvendor"), description.vendor);
        // A component without a sub-group or variant is not one of those with.
        if ((!key.contains(QStringLiteral("Csub")) &&
             attributes.contains(QStringLiteral("Csub"))) ||
            (!key.contains(QStringLiteral("Cvariant")) &&
             attributes.contains(QStringLiteral("Cvariant"))))
            continue;
        if (componentMatches(key, attributes))
            matches.append(&component);
    }
    if (matches.isEmpty())
        return nullptr;
    const QString condition = wanted.value(QStringLiteral("condition"));
    for (const PackComponent *c : qAsConst(matches)) {
        if (!condition.isEmpty() && c->attributes.value(QStringLiteral("condition")) == condition)
            return c;
    }
    for (const PackComponent *c : qAsConst(matches)) {
        if (conditionHolds(description, c->attributes.value(QStringLiteral("condition")), context))
            return c;
    }
    return matches.first();
}

// The include folders of a component: its "include" entries, and the folders of its
// headers whose condition holds. Files the project keeps a copy of (attr="config") count
// through that copy instead.
void AdditionFinder::addFolders(const PackComponent &component, const PackDescription &description,
                                const QString &packFolder, const ConditionContext &context,
                                TargetAdditions &out)
{
    for (const PackFile &file : component.files) {
        const QString attr = file.attributes.value(QStringLiteral("attr"));
        if (attr == QLatin1String("config") || attr == QLatin1String("template"))
            continue;
        QString folder = slashed(file.name());
        if (file.category() == QLatin1String("header"))
            folder = folderOf(folder);
        else if (file.category() != QLatin1String("include"))
            continue;
        if (!conditionHolds(description, file.condition(), context))
            continue;
        const QString path = QDir::cleanPath(packFolder + QLatin1Char('/') + folder);
        if (QFileInfo(path).isDir()) {
            appendOnce(out.packFolders, path);
            out.fromPacks = true;
        }
    }
}

// The Core include folder of the newest installed ARM.CMSIS pack before 6.0.0: MDK's own
// Core headers are CMSIS 5, and code written for them breaks with 6 (NVIC->IP became IPR,
// cmsis_clang.h demands ACLE). Only without a CMSIS 4 or 5, the newest.
void AdditionFinder::addCmsisCore(const ConditionContext &context, TargetAdditions &out)
{
    const QString vendor = QStringLiteral("ARM");
    const QString name = QStringLiteral("CMSIS");
    QStringList versions = m_packs->versions(vendor, name);
    // By the major number: "6.0.0-dev" is CMSIS 6 as well.
    std::stable_partition(versions.begin(), versions.end(),
                          [](const QString &version) { return majorVersion(version) < 6; });
    for (const QString &version : qAsConst(versions)) {
        const PackDescription *description = m_packs->description(vendor, name, version);
        if (!description->isValid())
            continue;
        Attributes core;
        core.insert(QStringLiteral("Cclass"), QStringLiteral("CMSIS"));
        core.insert(QStringLiteral("Cgroup"), QStringLiteral("CORE"));
        core.insert(QStringLiteral("Cvendor"), vendor);
        if (const PackComponent *component = findComponent(*description, core, context)) {
            addFolders(*component, *description, m_packs->folder(vendor, name, version), context,
                       out);
            return;
        }
    }
}

} // namespace Corvane
