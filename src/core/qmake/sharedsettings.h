#ifndef CORVANE_SHAREDSETTINGS_H
#define CORVANE_SHAREDSETTINGS_H

#include <QString>

namespace Corvane {

// Qt Creator's settings shared by everyone who opens a project: <name>.pro.shared beside
// the .pro. Corvane writes one only to make the editor open sources saved in an ANSI code
// page (GBK on a Chinese Windows, Windows-1252 on a Western one) in that codec, and
// recognises its own by a marker comment.
enum class SharedSettingsOutcome {
    Unchanged, // nothing to do
    Written,   // Corvane's file is in place
    Removed,   // Corvane's file was removed: the sources are UTF-8 now
    Foreign,   // a codec is needed, but the file is someone else's and stays as it is
    Failed,    // the file could not be written or removed
};

// Puts Corvane's .pro.shared for `proPath` in place for `codec`, as Qt Creator names it
// ("GBK"), and takes it away when `codec` is empty.
SharedSettingsOutcome updateSharedSettings(const QString &proPath, const QByteArray &codec);

// The file's text: `codec` as the editor's encoding of this project.
QByteArray sharedSettings(const QByteArray &codec);

} // namespace Corvane

#endif
