#ifndef STM32F4XX_IT_H
#define STM32F4XX_IT_H

void SysTick_Handler(void);

#endif
