#include "model/compilerkeywords.h"

namespace Corvane {

QStringList armCompiler5Keywords()
{
    // From armcc's list of keywords and operators. __asm, __inline, __restrict and
    // __alignof__ clang knows itself. Left empty:
    // - __packed: clang packs a type only from an attribute after "struct" or on a member;
    //   where armcc's qualifier stands (before "struct", on a pointer's target) the attribute
    //   would be ignored with a warning on every use;
    // - __irq: __attribute__((interrupt)) is an error on x86, where a desktop kit parses;
    // - calling conventions, SVC and SMC calls, register variables, write-only pointers: no
    //   meaning to a code model.
    return {
        QStringLiteral("__align(n)=__attribute__((aligned(n)))"),
        QStringLiteral("__ALIGNOF__(type)=__alignof__(type)"),
        QStringLiteral("__forceinline=__inline__ __attribute__((always_inline))"),
        QStringLiteral("__global_reg(n)="),
        QStringLiteral("__int64=long long"),
        QStringLiteral("__INTADDR__(expr)=((__UINTPTR_TYPE__)(expr))"),
        QStringLiteral("__irq="),
        QStringLiteral("__packed="),
        QStringLiteral("__pure=__attribute__((const))"),
        QStringLiteral("__smc(n)="),
        QStringLiteral("__softfp="),
        QStringLiteral("__svc(n)="),
        QStringLiteral("__svc_indirect(n)="),
        QStringLiteral("__svc_indirect_r7(n)="),
        QStringLiteral("__value_in_regs="),
        QStringLiteral("__weak=__attribute__((weak))"),
        QStringLiteral("__writeonly="),
    };
}

} // namespace Corvane
