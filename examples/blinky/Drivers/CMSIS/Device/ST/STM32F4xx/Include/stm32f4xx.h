/* STM32F4 family header: picks the device header and adds the register access helpers. With
 * USE_HAL_DRIVER the HAL comes along. */
#ifndef STM32F4XX_H
#define STM32F4XX_H

#if defined(STM32F401xE)
#include "stm32f401xe.h"
#else
#error "Define the target device (STM32F401xE for this project)"
#endif

typedef enum { RESET = 0U, SET = !RESET } FlagStatus, ITStatus;

#define SET_BIT(REG, BIT) ((REG) |= (BIT))
#define CLEAR_BIT(REG, BIT) ((REG) &= ~(BIT))
#define READ_BIT(REG, BIT) ((REG) & (BIT))
#define WRITE_REG(REG, VAL) ((REG) = (VAL))
#define READ_REG(REG) ((REG))
#define MODIFY_REG(REG, CLEARMASK, SETMASK)                                                        \
    WRITE_REG((REG), (((READ_REG(REG)) & (~(CLEARMASK))) | (SETMASK)))

#ifdef USE_HAL_DRIVER
#include "stm32f4xx_hal.h"
#endif

#endif
