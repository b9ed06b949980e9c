/* HAL core: start-up and the millisecond tick counted by SysTick. */
#include "stm32f4xx_hal.h"

volatile uint32_t uwTick;

HAL_StatusTypeDef HAL_Init(void)
{
    SET_BIT(FLASH->ACR, FLASH_ACR_PRFTEN | FLASH_ACR_ICEN | FLASH_ACR_DCEN);
    if (HAL_InitTick(TICK_INT_PRIORITY) != HAL_OK) {
        return HAL_ERROR;
    }
    HAL_MspInit();
    return HAL_OK;
}

__weak void HAL_MspInit(void) {}

/* One tick a millisecond at the current core clock, at the given exception priority. */
__weak HAL_StatusTypeDef HAL_InitTick(uint32_t TickPriority)
{
    if (SysTick_Config(SystemCoreClock / 1000U) != 0U) {
        return HAL_ERROR;
    }
    NVIC_SetPriority(SysTick_IRQn, TickPriority);
    return HAL_OK;
}

__weak void HAL_IncTick(void)
{
    uwTick++;
}

__weak uint32_t HAL_GetTick(void)
{
    return uwTick;
}

__weak void HAL_Delay(uint32_t Delay)
{
    const uint32_t start = HAL_GetTick();
    while ((HAL_GetTick() - start) < Delay) {
    }
}
