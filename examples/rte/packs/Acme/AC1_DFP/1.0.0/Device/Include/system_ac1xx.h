/* Clock set-up of AC1 devices. */
#ifndef SYSTEM_AC1XX_H
#define SYSTEM_AC1XX_H

#include <stdint.h>

extern uint32_t SystemCoreClock;

void SystemInit(void);

#endif
