#ifndef CORVANE_SHAREDSETTINGS_H
#define CORVANE_SHAREDSETTINGS_H

#include <QString>

namespace Corvane {

// Qt Creator's settings shared by everyone who opens a project: <name>.pro.shared beside
// the .pro. Corvane writes one only to make the editor open GBK sources (the ANSI code page
// of a Chinese Windows) as GBK, and recognises its own by a marker comment.
enum class SharedSettingsOutcome {
    Unchanged, // nothing to do
    Written,   // Corvane's file is in place
    Removed,   // Corvane's file was removed: the sources are no longer GBK
    Foreign,   // the sources are GBK, but the file is someone else's and stays as it is
    Failed,    // the file could not be written or removed
};

// Puts Corvane's .pro.shared for `proPath` in place when `gbk`, and takes it away when not.
SharedSettingsOutcome updateSharedSettings(const QString &proPath, bool gbk);

// The file's text: GBK as the editor's encoding of this project.
QByteArray gbkSharedSettings();

} // namespace Corvane

#endif
