/* GPIO: pin set-up, reading, writing and toggling. */
#ifndef STM32F4XX_HAL_GPIO_H
#define STM32F4XX_HAL_GPIO_H

#include "stm32f4xx_hal_def.h"

typedef struct
{
    uint32_t Pin;
    uint32_t Mode;
    uint32_t Pull;
    uint32_t Speed;
    uint32_t Alternate;
} GPIO_InitTypeDef;

typedef enum { GPIO_PIN_RESET = 0U, GPIO_PIN_SET } GPIO_PinState;

#define GPIO_PIN_0 ((uint16_t)0x0001U)
#define GPIO_PIN_5 ((uint16_t)0x0020U)
#define GPIO_PIN_13 ((uint16_t)0x2000U)
#define GPIO_PIN_All ((uint16_t)0xFFFFU)

/* Mode: bits 0-1 go to MODER, bit 4 selects open drain. */
#define GPIO_MODE_INPUT 0x00U
#define GPIO_MODE_OUTPUT_PP 0x01U
#define GPIO_MODE_OUTPUT_OD 0x11U
#define GPIO_MODE_AF_PP 0x02U
#define GPIO_MODE_ANALOG 0x03U

#define GPIO_NOPULL 0x0U
#define GPIO_PULLUP 0x1U
#define GPIO_PULLDOWN 0x2U

#define GPIO_SPEED_FREQ_LOW 0x0U
#define GPIO_SPEED_FREQ_MEDIUM 0x1U
#define GPIO_SPEED_FREQ_HIGH 0x2U
#define GPIO_SPEED_FREQ_VERY_HIGH 0x3U

#define IS_GPIO_PIN(PIN) ((((uint32_t)(PIN)) & GPIO_PIN_All) != 0U)

void HAL_GPIO_Init(GPIO_TypeDef *GPIOx, const GPIO_InitTypeDef *GPIO_Init);
GPIO_PinState HAL_GPIO_ReadPin(const GPIO_TypeDef *GPIOx, uint16_t GPIO_Pin);
void HAL_GPIO_WritePin(GPIO_TypeDef *GPIOx, uint16_t GPIO_Pin, GPIO_PinState PinState);
void HAL_GPIO_TogglePin(GPIO_TypeDef *GPIOx, uint16_t GPIO_Pin);

#endif
