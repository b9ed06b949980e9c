#include "model/diskspelling.h"

#include "reading/lettercase.h"
#include "reading/projectvalues.h"

namespace Corvane {

Notices spellAsOnDisk(Project &project, const QString &projectDir)
{
    LetterCase disk(projectDir);
    Notices notices;
    // Projects repeat their lists in every target, and the reader shares one text among
    // them: each is looked at once, known by its text's address. The text is kept so that
    // the address stays its own. A name found in another letter case is told once.
    QHash<const QChar *, QPair<QString, QString>> lists;
    QSet<QString> told;
    const auto onDisk = [&](const QString &path, Notice::Kind kind) {
        const QString spelt = disk.onDisk(path);
        if (spelt.isEmpty())
            return path;
        if (!told.contains(path)) {
            told.insert(path);
            notices.append({kind, {path, spelt}, {}});
        }
        return spelt;
    };
    for (Target &target : project.targets) {
        for (TargetValue &value : target.values) {
            if (value.kind == TargetValue::File) {
                value.text = onDisk(value.text, Notice::Kind::FileOnDiskAs);
            } else if (value.kind == TargetValue::IncludePath &&
                       value.tool != OptionTool::Assembler && value.tool != OptionTool::Linker) {
                auto known = lists.constFind(value.text.constData());
                if (known == lists.constEnd() || known->first != value.text) {
                    QStringList entries = includeEntries(value.text);
                    bool changed = false;
                    for (QString &entry : entries) {
                        const QString folder = onDisk(entry, Notice::Kind::FolderOnDiskAs);
                        changed = changed || folder != entry;
                        entry = folder;
                    }
                    known = lists.insert(
                        value.text.constData(),
                        {value.text, changed ? entries.join(QLatin1Char(';')) : value.text});
                }
                value.text = known->second;
            }
        }
    }
    return notices;
}

} // namespace Corvane
