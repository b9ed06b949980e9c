/* HAL set-up for the blinky example: the modules it uses, the board's oscillator, and full
 * parameter checks in debug builds. */
#ifndef STM32F4XX_HAL_CONF_H
#define STM32F4XX_HAL_CONF_H

#define HAL_MODULE_ENABLED
#define HAL_GPIO_MODULE_ENABLED
#define HAL_RCC_MODULE_ENABLED

#define HSE_VALUE 8000000U
#define HSI_VALUE 16000000U
#define HSE_STARTUP_TIMEOUT 100U
#define TICK_INT_PRIORITY 15U

#if defined(DEBUG) && !defined(NDEBUG)
#define USE_FULL_ASSERT 1U
#endif

#ifdef HAL_RCC_MODULE_ENABLED
#include "stm32f4xx_hal_rcc.h"
#endif
#ifdef HAL_GPIO_MODULE_ENABLED
#include "stm32f4xx_hal_gpio.h"
#endif

#ifdef USE_FULL_ASSERT
#define assert_param(expr) ((expr) ? (void)0U : assert_failed((uint8_t *)__FILE__, __LINE__))
void assert_failed(uint8_t *file, uint32_t line);
#else
#define assert_param(expr) ((void)0U)
#endif

#endif
