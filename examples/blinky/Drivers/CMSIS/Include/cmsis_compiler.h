/* Compiler abstraction for Arm Compiler 6 and GCC-compatible compilers: the attributes and
 * intrinsics the example uses. */
#ifndef CMSIS_COMPILER_H
#define CMSIS_COMPILER_H

#include <stdint.h>

#ifndef __STATIC_INLINE
#define __STATIC_INLINE static inline
#endif
#ifndef __WEAK
#define __WEAK __attribute__((weak))
#endif

__STATIC_INLINE void __enable_irq(void)
{
    __asm volatile("cpsie i" ::: "memory");
}
__STATIC_INLINE void __disable_irq(void)
{
    __asm volatile("cpsid i" ::: "memory");
}
__STATIC_INLINE void __DSB(void)
{
    __asm volatile("dsb 0xF" ::: "memory");
}
__STATIC_INLINE void __ISB(void)
{
    __asm volatile("isb 0xF" ::: "memory");
}
__STATIC_INLINE void __NOP(void)
{
    __asm volatile("nop");
}

#endif
