/* RCC: oscillators, the main PLL, bus clocks and peripheral clock gates. */
#ifndef STM32F4XX_HAL_RCC_H
#define STM32F4XX_HAL_RCC_H

#include "stm32f4xx_hal_def.h"

typedef struct
{
    uint32_t PLLState;
    uint32_t PLLSource;
    uint32_t PLLM;
    uint32_t PLLN;
    uint32_t PLLP;
    uint32_t PLLQ;
} RCC_PLLInitTypeDef;

typedef struct
{
    uint32_t OscillatorType;
    uint32_t HSEState;
    RCC_PLLInitTypeDef PLL;
} RCC_OscInitTypeDef;

typedef struct
{
    uint32_t SYSCLKSource;
    uint32_t AHBCLKDivider;
    uint32_t APB1CLKDivider;
    uint32_t APB2CLKDivider;
} RCC_ClkInitTypeDef;

#define RCC_OSCILLATORTYPE_HSE 0x1U
#define RCC_HSE_OFF 0x0U
#define RCC_HSE_ON RCC_CR_HSEON
#define RCC_PLL_NONE 0x0U
#define RCC_PLL_ON 0x2U
#define RCC_PLLSOURCE_HSI 0x0U
#define RCC_PLLSOURCE_HSE RCC_PLLCFGR_PLLSRC_HSE
#define RCC_PLLP_DIV2 2U
#define RCC_PLLP_DIV4 4U

#define RCC_SYSCLKSOURCE_HSI 0x0U
#define RCC_SYSCLKSOURCE_HSE 0x1U
#define RCC_SYSCLKSOURCE_PLLCLK 0x2U
#define RCC_SYSCLK_DIV1 0x0U
#define RCC_HCLK_DIV1 0x0U
#define RCC_HCLK_DIV2 0x4U

#define FLASH_LATENCY_0 0x0U
#define FLASH_LATENCY_2 0x2U

#define __HAL_RCC_GPIOA_CLK_ENABLE()                                                               \
    do {                                                                                           \
        SET_BIT(RCC->AHB1ENR, RCC_AHB1ENR_GPIOAEN);                                                \
        (void)READ_BIT(RCC->AHB1ENR, RCC_AHB1ENR_GPIOAEN);                                         \
    } while (0U)

HAL_StatusTypeDef HAL_RCC_OscConfig(const RCC_OscInitTypeDef *RCC_OscInitStruct);
HAL_StatusTypeDef HAL_RCC_ClockConfig(const RCC_ClkInitTypeDef *RCC_ClkInitStruct,
                                      uint32_t FLatency);
uint32_t HAL_RCC_GetHCLKFreq(void);

#endif
