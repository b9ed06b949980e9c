/* System clock set-up that runs before main(), and the core clock it leaves. */
#ifndef SYSTEM_STM32F4XX_H
#define SYSTEM_STM32F4XX_H

#include <stdint.h>

extern uint32_t SystemCoreClock;
extern const uint8_t AHBPrescTable[16];

void SystemInit(void);
void SystemCoreClockUpdate(void);

#endif
