#include "stm32f4xx.h"

unsigned int SystemCoreClock = 16000000U;

void SystemInit(void)
{
}
