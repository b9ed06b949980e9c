#ifndef STM32F4XX_HAL_RCC_H
#define STM32F4XX_HAL_RCC_H

void SystemClock_Config(void);

#endif
