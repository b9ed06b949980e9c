/* HAL core: start-up, the millisecond tick and delays. The modules come in through
 * stm32f4xx_hal_conf.h. */
#ifndef STM32F4XX_HAL_H
#define STM32F4XX_HAL_H

#include "stm32f4xx_hal_conf.h"

extern volatile uint32_t uwTick;

HAL_StatusTypeDef HAL_Init(void);
void HAL_MspInit(void);
HAL_StatusTypeDef HAL_InitTick(uint32_t TickPriority);
void HAL_IncTick(void);
uint32_t HAL_GetTick(void);
void HAL_Delay(uint32_t Delay);

#endif
