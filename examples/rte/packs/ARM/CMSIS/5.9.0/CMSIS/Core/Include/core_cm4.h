/* Cortex-M4 core peripherals, reduced to the SysTick the example starts. */
#ifndef CORE_CM4_H
#define CORE_CM4_H

#include <stdint.h>

#include "cmsis_compiler.h"

typedef struct
{
    __IO uint32_t CTRL;
    __IO uint32_t LOAD;
    __IO uint32_t VAL;
    __IO uint32_t CALIB;
} SysTick_Type;

#define SysTick ((SysTick_Type *)0xE000E010UL)

__STATIC_INLINE uint32_t SysTick_Config(uint32_t ticks)
{
    SysTick->LOAD = ticks - 1U;
    SysTick->VAL = 0U;
    SysTick->CTRL = 7U;
    return 0U;
}

#endif
