#include "qmake/sharedsettings.h"

#include "common/savedfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace Corvane {

namespace {

const char marker[] = "<!-- Written by Corvane: ";

// An empty file is no settings at all: a disk that filled up while an earlier Corvane wrote
// it left one behind.
bool isOurs(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray start = file.read(4096);
    return start.isEmpty() || start.contains(marker);
}

} // namespace

QByteArray sharedSettings(const QByteArray &codec)
{
    // Without FileVersion Qt Creator drops the file with a dialog (30 asks the user, 18 and
    // 22 do not), and without UseGlobal false it keeps the codec but does not use it.
    return QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") + marker +
           "the sources of this project are " + codec + ", so Qt Creator opens them as " + codec +
           ".\n"
           "     Corvane rewrites or removes this file when it converts the project again. -->\n"
           "<qtcreator>\n"
           " <data><variable>ProjectExplorer.Project.EditorSettings</variable>\n"
           "  <valuemap type=\"QVariantMap\">\n"
           "   <value type=\"QByteArray\" key=\"EditorConfiguration.Codec\">" +
           codec +
           "</value>\n"
           "   <value type=\"bool\" key=\"EditorConfiguration.UseGlobal\">false</value>\n"
           "  </valuemap></data>\n"
           " <data><variable>ProjectExplorer.Project.Updater.FileVersion</variable>"
           "<value type=\"int\">22</value></data>\n"
           "</qtcreator>\n";
}

SharedSettingsOutcome updateSharedSettings(const QString &proPath, const QByteArray &codec)
{
    const QString path = proPath + QLatin1String(".shared");
    const QFileInfo existing(path);
    if (existing.exists() && !isOurs(path))
        return codec.isEmpty() ? SharedSettingsOutcome::Unchanged : SharedSettingsOutcome::Foreign;
    if (codec.isEmpty()) {
        if (!existing.exists())
            return SharedSettingsOutcome::Unchanged;
        return QFile::remove(path) ? SharedSettingsOutcome::Removed : SharedSettingsOutcome::Failed;
    }
    const QByteArray text = sharedSettings(codec);
    QFile current(path);
    if (current.open(QIODevice::ReadOnly) && current.readAll() == text)
        return SharedSettingsOutcome::Unchanged;
    QSaveFile file(path);
    if (!openOutput(file) || file.write(text) != text.size() || !commitOutput(file))
        return SharedSettingsOutcome::Failed;
    return SharedSettingsOutcome::Written;
}

} // namespace Corvane
