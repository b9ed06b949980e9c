#include "model/diskspelling.h"

#include "reading/lettercase.h"
#include "reading/projectvalues.h"

namespace Corvane {

Notices spellAsOnDisk(Project &project, const QString &projectDir)
{
    LetterCase disk(projectDir);
    Notices notices;
    // Projects repeat their folders and files in every target: each is looked at once.
    QHash<QString, QString> spelt;
    const auto onDisk = [&](const QString &path, Notice::Kind kind) {
        auto known = spelt.constFind(path);
        if (known == spelt.constEnd()) {
            known = spelt.insert(path, disk.onDisk(path));
            if (!known->isEmpty())
                notices.append({kind, {path, *known}, {}});
        }
        return known->isEmpty() ? path : *known;
    };
    for (Target &target : project.targets) {
        for (TargetValue &value : target.values) {
            if (value.kind == TargetValue::File) {
                value.text = onDisk(value.text, Notice::Kind::FileOnDiskAs);
            } else if (value.kind == TargetValue::IncludePath) {
                QStringList entries = includeEntries(value.text);
                bool changed = false;
                for (QString &entry : entries) {
                    const QString folder = onDisk(entry, Notice::Kind::FolderOnDiskAs);
                    changed = changed || folder != entry;
                    entry = folder;
                }
                if (changed)
                    value.text = entries.join(QLatin1Char(';'));
            }
        }
    }
    return notices;
}

} // namespace Corvane
