#ifndef CORVANE_PROJECTVALUES_H
#define CORVANE_PROJECTVALUES_H

#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

// How the values of a uVision project's elements are spelt: paths with '\' separators,
// sometimes in double quotes; define lists separated by ',' or blanks.
namespace Corvane {

// A ';'-separated include entry: trimmed, outer double quotes removed, '/' separators.
QString cleanIncludeEntry(QStringView entry);

// The entries of an include list, each cleaned as cleanIncludeEntry() does, empty ones kept.
QStringList includeEntries(const QString &list);
// The same as views into the list, whose '\\' are '/' already: a list may hold thousands.
std::vector<QStringView> includeEntryViews(QStringView list);

// A FilePath (or a workspace's PathAndName) value as a path: outer double quotes removed,
// '/' separators.
QString cleanFilePath(const QString &path);

// A define list split into single defines: on ',' and, within each item, on runs of
// white space outside double quotes. An empty ',' item gives one empty define.
QStringList splitDefines(const QString &defines);
// The same as views into the list.
std::vector<QStringView> defineViews(QStringView defines);

// The defines of a define list as the .pro gives them to the compiler: '\' as '/', then
// split as splitDefines() does.
QStringList defineItems(const QString &defines);

} // namespace Corvane

#endif
