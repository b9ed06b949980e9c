#ifndef SYSTEM_STM32F4XX_H
#define SYSTEM_STM32F4XX_H

extern unsigned int SystemCoreClock;
void SystemInit(void);

#endif
