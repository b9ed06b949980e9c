#ifndef CORVANE_PROJECTCONVERTER_H
#define CORVANE_PROJECTCONVERTER_H

#include "conversion.h"
#include "headerscan.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QIODevice>

#include <string>

namespace Corvane {

// Turns the text of a uVision project into the text of a qmake project. The project is
// read line by line, not as XML: a line counts when, with its spaces removed, it holds the
// closing tag of Device, Define, IncludePath or FilePath after the opening tag's length.
class ProjectConverter
{
public:
    // projectDir anchors relative include directories; time goes into the banner.
    ProjectConverter(const QString &projectDir, const QDateTime &time);

    // Reads the whole project and writes the whole .pro text. Returns Converted,
    // ProjectReadFailed or OutputFailed.
    ConversionStatus convert(QIODevice &project, QIODevice &output);

private:
    bool handleLine(const char *data, qsizetype size);
    void handleElements(QString line);
    void writePlainSource(const char *path, qsizetype size);
    void writeIncludes(const QString &includes);
    QByteArray includeBlock(const QString &includes);

    void write(const char *text);
    void write(const QByteArray &bytes);
    void flush();

    HeaderScanner m_headers;
    QHash<QString, QByteArray> m_includeBlocks;
    QDateTime m_time;
    QIODevice *m_output = nullptr;
    std::string m_buffer;
    bool m_writeFailed = false;
    // A source entry may only follow another one or the SOURCES opener.
    bool m_lastWasSource = false;
};

} // namespace Corvane

#endif
