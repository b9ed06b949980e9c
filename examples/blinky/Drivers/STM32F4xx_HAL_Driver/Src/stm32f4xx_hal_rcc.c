/* RCC: the external oscillator, the main PLL and the switch of the system clock. Each wait
 * gives up after a timeout counted in HAL ticks. */
#include "stm32f4xx_hal.h"

#define RCC_TIMEOUT_MS 5000U

static HAL_StatusTypeDef waitFor(volatile const uint32_t *reg, uint32_t mask, uint32_t value,
                                 uint32_t timeout)
{
    const uint32_t start = HAL_GetTick();
    while ((*reg & mask) != value) {
        if ((HAL_GetTick() - start) > timeout) {
            return HAL_TIMEOUT;
        }
    }
    return HAL_OK;
}

HAL_StatusTypeDef HAL_RCC_OscConfig(const RCC_OscInitTypeDef *RCC_OscInitStruct)
{
    if ((RCC_OscInitStruct->OscillatorType & RCC_OSCILLATORTYPE_HSE) != 0U) {
        if (RCC_OscInitStruct->HSEState == RCC_HSE_ON) {
            SET_BIT(RCC->CR, RCC_CR_HSEON);
            if (waitFor(&RCC->CR, RCC_CR_HSERDY, RCC_CR_HSERDY, HSE_STARTUP_TIMEOUT) != HAL_OK) {
                return HAL_TIMEOUT;
            }
        } else {
            CLEAR_BIT(RCC->CR, RCC_CR_HSEON);
        }
    }

    const RCC_PLLInitTypeDef *pll = &RCC_OscInitStruct->PLL;
    if (pll->PLLState != RCC_PLL_ON) {
        return HAL_OK;
    }
    CLEAR_BIT(RCC->CR, RCC_CR_PLLON);
    if (waitFor(&RCC->CR, RCC_CR_PLLRDY, 0U, RCC_TIMEOUT_MS) != HAL_OK) {
        return HAL_TIMEOUT;
    }
    WRITE_REG(RCC->PLLCFGR, pll->PLLSource | (pll->PLLM << RCC_PLLCFGR_PLLM_Pos) |
                                (pll->PLLN << RCC_PLLCFGR_PLLN_Pos) |
                                (((pll->PLLP >> 1U) - 1U) << RCC_PLLCFGR_PLLP_Pos) |
                                (pll->PLLQ << RCC_PLLCFGR_PLLQ_Pos));
    SET_BIT(RCC->CR, RCC_CR_PLLON);
    return waitFor(&RCC->CR, RCC_CR_PLLRDY, RCC_CR_PLLRDY, RCC_TIMEOUT_MS);
}

/* More wait states first when speeding up, so the flash keeps up at every step. */
HAL_StatusTypeDef HAL_RCC_ClockConfig(const RCC_ClkInitTypeDef *RCC_ClkInitStruct,
                                      uint32_t FLatency)
{
    if (FLatency > READ_BIT(FLASH->ACR, FLASH_ACR_LATENCY)) {
        MODIFY_REG(FLASH->ACR, FLASH_ACR_LATENCY, FLatency);
    }
    MODIFY_REG(RCC->CFGR, RCC_CFGR_HPRE | RCC_CFGR_PPRE1 | RCC_CFGR_PPRE2,
               (RCC_ClkInitStruct->AHBCLKDivider << RCC_CFGR_HPRE_Pos) |
                   (RCC_ClkInitStruct->APB1CLKDivider << RCC_CFGR_PPRE1_Pos) |
                   (RCC_ClkInitStruct->APB2CLKDivider << RCC_CFGR_PPRE2_Pos));
    MODIFY_REG(RCC->CFGR, RCC_CFGR_SW, RCC_ClkInitStruct->SYSCLKSource);
    if (waitFor(&RCC->CFGR, RCC_CFGR_SWS, RCC_ClkInitStruct->SYSCLKSource << RCC_CFGR_SWS_Pos,
                RCC_TIMEOUT_MS) != HAL_OK) {
        return HAL_TIMEOUT;
    }
    if (FLatency < READ_BIT(FLASH->ACR, FLASH_ACR_LATENCY)) {
        MODIFY_REG(FLASH->ACR, FLASH_ACR_LATENCY, FLatency);
    }
    SystemCoreClockUpdate();
    return HAL_InitTick(TICK_INT_PRIORITY);
}

uint32_t HAL_RCC_GetHCLKFreq(void)
{
    return SystemCoreClock;
}
