#ifndef CORVANE_CONVERSION_H
#define CORVANE_CONVERSION_H

#include "common/conversionoptions.h"
#include "common/conversionstatus.h"
#include "common/writtenfile.h"
#include "compiledb/databasefile.h"
#include "conversion/outputfile.h"
#include "reading/textencoding.h"

#include <QString>
#include <QStringList>

namespace Corvane {

struct ConversionResult
{
    ConversionStatus status = ConversionStatus::EmptyPath;
    // Why the project could not be opened ("not found" ...); empty otherwise.
    QString reason;
    // Where the .pro file goes; empty when the path was rejected before it was formed.
    QString outputPath;
    // The project's targets, once it was read.
    QStringList targets;
    // What targets asked for and was not found (packs not installed, descriptions that
    // cannot be read, files not on disk ...), and where the other files went; the run still
    // succeeds without them.
    Notices notices;
    // Qt Creator's <name>.pro.shared, when the sources need one (see placeSharedSettings()).
    WrittenFile shared;
    // compile_commands.json, when it was asked for and the .pro was written; its path is
    // empty when the entries went to a workspace's database instead.
    WrittenFile database;
    // How the sources and headers the .pro lists are encoded, once they were read.
    SourceEncodings encodings;

    bool succeeded() const { return status == ConversionStatus::Converted; }
    QString message() const;
};

// Puts Corvane's <name>.pro.shared beside a .pro for the codec most sources are in, or
// takes it away; `notices` gets what the user must be told about it. The file, when the
// sources need one.
WrittenFile placeSharedSettings(const QString &proPath, const SourceEncodings &encodings,
                                Notices *notices);

// Converts one uVision project file into a qmake project file beside it. The previous
// .pro file is replaced only when the whole run succeeds.
ConversionResult convertProject(const QString &projectPath,
                                const ConversionOptions &options = ConversionOptions());

// The same, but compile_commands.json is not written: its entries go to `entries`, for a
// workspace that writes them together with its other members'.
ConversionResult convertProject(const QString &projectPath, const ConversionOptions &options,
                                ProjectEntries *entries);

} // namespace Corvane

#endif
