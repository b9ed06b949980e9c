#include "common/filekind.h"

#include <QLatin1String>

namespace Corvane {

FileKind fileKind(QStringView path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || path.indexOf(QLatin1Char('/'), dot) >= 0 ||
        path.indexOf(QLatin1Char('\\'), dot) >= 0)
        return FileKind::Other;
    const QStringView suffix = path.mid(dot + 1);
    const auto is = [&suffix](const char *name) {
        return suffix.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    };
    if (is("c"))
        return FileKind::C;
    if (is("cpp") || is("cc") || is("cxx") || is("c++"))
        return FileKind::Cpp;
    if (is("s") || is("asm") || is("a51"))
        return FileKind::Assembler;
    if (is("h") || is("hh") || is("hpp") || is("hxx") || is("h++"))
        return FileKind::Header;
    return FileKind::Other;
}

} // namespace Corvane
