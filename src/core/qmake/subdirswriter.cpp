#include "qmake/subdirswriter.h"

#include "qmake/fragments.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace Corvane {

namespace {

bool isNameChar(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_';
}

// "fw" for "MDK-ARM/fw.pro", "my_fw_1" for "my fw#1$.pro", "project" for "主控板.pro".
QString baseName(const QString &proFile)
{
    QString name;
    bool gap = false;
    for (const QChar c : QFileInfo(proFile).completeBaseName()) {
        if (!isNameChar(c)) {
            gap = true;
            continue;
        }
        if (gap && !name.isEmpty())
            name += QLatin1Char('_');
        gap = false;
        name += c;
    }
    if (name.isEmpty())
        return QStringLiteral("project");
    if (name.at(0).isDigit())
        name.prepend(QLatin1String("project_"));
    return name;
}

} // namespace

QStringList subprojectNames(const QStringList &proFiles)
{
    QStringList names;
    QSet<QString> taken;
    // The next number to try per base name: a workspace may hold many "Project"s.
    QHash<QString, int> next;
    for (const QString &proFile : proFiles) {
        const QString base = baseName(proFile);
        QString name = base;
        auto number = next.find(base.toCaseFolded());
        if (number == next.end())
            number = next.insert(base.toCaseFolded(), 2);
        while (taken.contains(name.toCaseFolded()))
            name = base + QLatin1Char('_') + QString::number((*number)++);
        taken.insert(name.toCaseFolded());
        names.append(name);
    }
    return names;
}

QByteArray subdirsProject(const QDateTime &time, const QVector<Subproject> &subprojects)
{
    QStringList proFiles;
    for (const Subproject &subproject : subprojects)
        proFiles.append(subproject.proFile);
    const QStringList names = subprojectNames(proFiles);

    QByteArray out = Fragments::banner(time) + "TEMPLATE = subdirs\r\n";
    if (subprojects.size() > 1)
        out += "# Built one after another, in this order, also by make -j.\r\n";
    for (int i = 0; i < subprojects.size(); ++i) {
        const QByteArray name = Fragments::qmakeValue(names.at(i)).toUtf8();
        out += "\r\n";
        if (subprojects.at(i).active)
            out += "# The active project in uVision\r\n";
        out += "SUBDIRS += " + name + "\r\n";
        out +=
            name + ".file = " + Fragments::qmakeValue(subprojects.at(i).proFile).toUtf8() + "\r\n";
        if (i > 0)
            out += name + ".depends = " + Fragments::qmakeValue(names.at(i - 1)).toUtf8() + "\r\n";
    }
    return out;
}

} // namespace Corvane
