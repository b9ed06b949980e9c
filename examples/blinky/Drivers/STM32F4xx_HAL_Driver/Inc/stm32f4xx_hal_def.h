/* Types and helpers every HAL module shares. */
#ifndef STM32F4XX_HAL_DEF_H
#define STM32F4XX_HAL_DEF_H

#include "stm32f4xx.h"
#include <stddef.h>

typedef enum {
    HAL_OK = 0x00U,
    HAL_ERROR = 0x01U,
    HAL_BUSY = 0x02U,
    HAL_TIMEOUT = 0x03U
} HAL_StatusTypeDef;

#define HAL_MAX_DELAY 0xFFFFFFFFU
#define UNUSED(X) (void)(X)

#if defined(__GNUC__) && !defined(__weak)
#define __weak __attribute__((weak))
#endif

#endif
