/* The project's copy of the pack's system file (an RTE config file). */
#include "ac1xx.h"

uint32_t SystemCoreClock = 16000000U;

void SystemInit(void)
{
    SystemCoreClock = 16000000U;
}
