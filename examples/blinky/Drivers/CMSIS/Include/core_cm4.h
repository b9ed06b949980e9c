/* Cortex-M4 core peripherals: SysTick and the parts of the System Control Block the example
 * touches. The device header defines __NVIC_PRIO_BITS and __FPU_PRESENT before including
 * this file. */
#ifndef CORE_CM4_H
#define CORE_CM4_H

#include <stdint.h>

#include "cmsis_compiler.h"

#ifndef __NVIC_PRIO_BITS
#error "core_cm4.h is included through the device header"
#endif

#if defined(__ARM_FP) && (__FPU_PRESENT == 1U)
#define __FPU_USED 1U
#else
#define __FPU_USED 0U
#endif

#define __I volatile const
#define __O volatile
#define __IO volatile
#define __IM volatile const
#define __OM volatile
#define __IOM volatile

typedef struct
{
    __IOM uint32_t CTRL;
    __IOM uint32_t LOAD;
    __IOM uint32_t VAL;
    __IM uint32_t CALIB;
} SysTick_Type;

typedef struct
{
    __IM uint32_t CPUID;
    __IOM uint32_t ICSR;
    __IOM uint32_t VTOR;
    __IOM uint32_t AIRCR;
    __IOM uint32_t SCR;
    __IOM uint32_t CCR;
    __IOM uint8_t SHP[12U];
    __IOM uint32_t SHCSR;
    uint32_t RESERVED0[24U];
    __IOM uint32_t CPACR;
} SCB_Type;

#define SCS_BASE 0xE000E000UL
#define SysTick_BASE (SCS_BASE + 0x0010UL)
#define SCB_BASE (SCS_BASE + 0x0D00UL)
#define SysTick ((SysTick_Type *)SysTick_BASE)
#define SCB ((SCB_Type *)SCB_BASE)

#define SysTick_CTRL_ENABLE_Msk (1UL << 0U)
#define SysTick_CTRL_TICKINT_Msk (1UL << 1U)
#define SysTick_CTRL_CLKSOURCE_Msk (1UL << 2U)
#define SysTick_LOAD_RELOAD_Msk 0xFFFFFFUL

/* Priority of a system exception (IRQn < 0), highest bits first as the core implements. */
__STATIC_INLINE void NVIC_SetPriority(IRQn_Type IRQn, uint32_t priority)
{
    if ((int32_t)IRQn < 0) {
        SCB->SHP[((uint32_t)IRQn & 0xFUL) - 4UL] =
            (uint8_t)((priority << (8U - __NVIC_PRIO_BITS)) & 0xFFUL);
    }
}

/* Interrupt every `ticks` core clocks, at the lowest priority. 1 when ticks does not fit. */
__STATIC_INLINE uint32_t SysTick_Config(uint32_t ticks)
{
    if ((ticks - 1UL) > SysTick_LOAD_RELOAD_Msk) {
        return 1UL;
    }
    SysTick->LOAD = ticks - 1UL;
    NVIC_SetPriority(SysTick_IRQn, (1UL << __NVIC_PRIO_BITS) - 1UL);
    SysTick->VAL = 0UL;
    SysTick->CTRL = SysTick_CTRL_CLKSOURCE_Msk | SysTick_CTRL_TICKINT_Msk | SysTick_CTRL_ENABLE_Msk;
    return 0UL;
}

#endif
