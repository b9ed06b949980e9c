#ifndef CORVANE_COMPILERKEYWORDS_H
#define CORVANE_COMPILERKEYWORDS_H

#include <QStringList>

namespace Corvane {

// Arm Compiler 5's own keywords (__align(n), __packed, __irq, __weak ...) as definitions a
// clang-based code model takes, "NAME=VALUE" or "NAME(ARG)=VALUE" each: the GNU attribute
// with the same meaning where clang has one, nothing where it has none. Valid for any
// target clang parses for: an IDE's desktop kit (x86-64) as much as the Arm target.
QStringList armCompiler5Keywords();

} // namespace Corvane

#endif
