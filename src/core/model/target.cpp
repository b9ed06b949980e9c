#include "model/target.h"

namespace Corvane {

CSettings CSettings::with(const CSettings &below) const
{
    CSettings out = *this;
    // 2 is "as the level above"; v6Lang's is 0.
    const auto take = [](int &into, int value, int inherit) {
        if (value >= 0 && value != inherit)
            into = value;
    };
    take(out.c99, below.c99, 2);
    take(out.v6Lang, below.v6Lang, 0);
    take(out.plainChar, below.plainChar, 2);
    take(out.shortEnums, below.shortEnums, 2);
    take(out.shortWchar, below.shortWchar, 2);
    take(out.enumInt, below.enumInt, 2);
    // A group's and a file's own options come after the target's on uVision's command line.
    if (!below.miscControls.isEmpty())
        out.miscControls +=
            (out.miscControls.isEmpty() ? QString() : QStringLiteral(" ")) + below.miscControls;
    return out;
}

} // namespace Corvane
