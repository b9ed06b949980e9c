#ifndef CORVANE_TARGETADDITIONS_H
#define CORVANE_TARGETADDITIONS_H

#include "common/notice.h"
#include "model/project.h"
#include "packs/packconditions.h"
#include "packs/packrepository.h"

#include <QStringList>

namespace Corvane {

// What uVision puts on a target's compiler line by itself, beyond the project's own
// options: the Run-Time Environment (RTE/_<Target>, _RTE_, the config files copied into the
// project) and what the CMSIS packs say (the device header's folder and define, the include
// folders of the selected components, the CMSIS Core headers MDK brings along) and the Keil
// installation's own header folders.
struct TargetAdditions
{
    QStringList defines;
    // The project's own folders (RTE, a generator's), relative as the project names them;
    // listed for headers like the project's include folders.
    QStringList includeFolders;
    // Folders outside the project (packs, the Keil installation), absolute: for the compiler
    // only, not listed for headers, so that the project's own headers are not buried under a
    // pack's.
    QStringList packFolders;
    QStringList headers;
    QStringList sources;
    bool fromRte = false;
    bool fromPacks = false;
    // The installation whose own folders were added, as the user reads it: "MDK in D:\Keil_v5".
    QString fromInstallation;

    bool isEmpty() const
    {
        return defines.isEmpty() && includeFolders.isEmpty() && packFolders.isEmpty() &&
               headers.isEmpty() && sources.isEmpty();
    }
};

class AdditionFinder
{
public:
    // packs: the installed packs, or null when there is no pack root.
    AdditionFinder(const Project &project, const QString &projectDir, PackRepository *packs);

    // The Keil installations targets are compiled with, "D:/Keil_v5"; empty for none.
    void setInstallations(const QString &mdkRoot, const QString &c51Root)
    {
        m_mdkRoot = mdkRoot;
        m_c51Root = c51Root;
    }

    // For the target of that name; an empty name stands for a project without targets.
    TargetAdditions additionsFor(const QString &targetName);

    // What targets asked for and could not be found, each once with the targets it
    // concerns: packs that are not installed, descriptions that cannot be read, devices a
    // pack does not describe.
    const Notices &notices() const { return m_notices; }

private:
    struct Request;
    QString resolve(const Request &request, const Target &target);
    const PackDevice *findDevice(const Target &target, QString *packFolder);
    const PackComponent *findComponent(const PackDescription &description, const Attributes &wanted,
                                       const ConditionContext &context);
    void addFolders(const PackComponent &component, const PackDescription &description,
                    const QString &packFolder, const ConditionContext &context,
                    TargetAdditions &out);
    void addRte(const Target &target, TargetAdditions &out);
    void addCmsisCore(const ConditionContext &context, TargetAdditions &out);
    void addMdkFolders(const Target &target, bool hasCore, const ConditionContext *context,
                       TargetAdditions &out);
    void addC51Folders(const Target &target, TargetAdditions &out);
    QString packRootNamed() const;
    void notice(Notice::Kind kind, const QStringList &args, const QString &target);

    const Project &m_project;
    QString m_projectDir;
    PackRepository *m_packs;
    QString m_mdkRoot;
    QString m_c51Root;
    bool m_devicesSearched = false;
    QMap<QString, QList<DevicePack>> m_devicePacks; // for targets that name a device, no pack
    QHash<QString, PackDescription> m_gpdscs;       // generator descriptions, by name
    Notices m_notices;
};

} // namespace Corvane

#endif
