#ifndef STM32F4XX_HAL_H
#define STM32F4XX_HAL_H

#include "stm32f4xx_hal_conf.h"
#include "stm32f4xx_hal_gpio.h"

void HAL_Init(void);
void HAL_Delay(unsigned int ms);

#endif
