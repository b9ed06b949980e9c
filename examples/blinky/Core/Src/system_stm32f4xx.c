/* Runs from the reset handler before main(): FPU access and the vector table. Keeps
 * SystemCoreClock in step with the clock tree. */
#include "stm32f4xx.h"

#ifndef HSE_VALUE
#define HSE_VALUE 25000000U
#endif
#ifndef HSI_VALUE
#define HSI_VALUE 16000000U
#endif

uint32_t SystemCoreClock = HSI_VALUE;
const uint8_t AHBPrescTable[16] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 6, 7, 8, 9};

void SystemInit(void)
{
#if (__FPU_USED == 1U)
    SCB->CPACR |= (3UL << 20U) | (3UL << 22U); /* CP10 and CP11 full access */
#endif
    SCB->VTOR = FLASH_BASE;
}

void SystemCoreClockUpdate(void)
{
    uint32_t sysclk;
    switch (READ_BIT(RCC->CFGR, RCC_CFGR_SWS) >> RCC_CFGR_SWS_Pos) {
    case 1U:
        sysclk = HSE_VALUE;
        break;
    case 2U: {
        const uint32_t pllcfgr = RCC->PLLCFGR;
        const uint32_t input = (pllcfgr & RCC_PLLCFGR_PLLSRC_HSE) ? HSE_VALUE : HSI_VALUE;
        const uint32_t m = (pllcfgr & RCC_PLLCFGR_PLLM) >> RCC_PLLCFGR_PLLM_Pos;
        const uint32_t n = (pllcfgr & RCC_PLLCFGR_PLLN) >> RCC_PLLCFGR_PLLN_Pos;
        const uint32_t p = (((pllcfgr & RCC_PLLCFGR_PLLP) >> RCC_PLLCFGR_PLLP_Pos) + 1U) * 2U;
        sysclk = input / m * n / p;
        break;
    }
    default:
        sysclk = HSI_VALUE;
        break;
    }
    SystemCoreClock =
        sysclk >> AHBPrescTable[READ_BIT(RCC->CFGR, RCC_CFGR_HPRE) >> RCC_CFGR_HPRE_Pos];
}
