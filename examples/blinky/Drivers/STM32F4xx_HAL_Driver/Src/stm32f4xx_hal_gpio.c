/* GPIO: one pin or several at once, by mask. */
#include "stm32f4xx_hal.h"

void HAL_GPIO_Init(GPIO_TypeDef *GPIOx, const GPIO_InitTypeDef *GPIO_Init)
{
    assert_param(IS_GPIO_PIN(GPIO_Init->Pin));
    for (uint32_t position = 0U; position < 16U; position++) {
        if ((GPIO_Init->Pin & (1UL << position)) == 0U) {
            continue;
        }
        const uint32_t shift2 = position * 2U;
        MODIFY_REG(GPIOx->OSPEEDR, 0x3UL << shift2, GPIO_Init->Speed << shift2);
        MODIFY_REG(GPIOx->OTYPER, 0x1UL << position, ((GPIO_Init->Mode >> 4U) & 0x1UL) << position);
        MODIFY_REG(GPIOx->PUPDR, 0x3UL << shift2, GPIO_Init->Pull << shift2);
        MODIFY_REG(GPIOx->MODER, 0x3UL << shift2, (GPIO_Init->Mode & 0x3UL) << shift2);
    }
}

GPIO_PinState HAL_GPIO_ReadPin(const GPIO_TypeDef *GPIOx, uint16_t GPIO_Pin)
{
    assert_param(IS_GPIO_PIN(GPIO_Pin));
    return (GPIOx->IDR & GPIO_Pin) != 0U ? GPIO_PIN_SET : GPIO_PIN_RESET;
}

void HAL_GPIO_WritePin(GPIO_TypeDef *GPIOx, uint16_t GPIO_Pin, GPIO_PinState PinState)
{
    assert_param(IS_GPIO_PIN(GPIO_Pin));
    if (PinState != GPIO_PIN_RESET) {
        GPIOx->BSRR = GPIO_Pin;
    } else {
        GPIOx->BSRR = (uint32_t)GPIO_Pin << 16U;
    }
}

/* Set the pins that are low and reset those that are high, in one write. */
void HAL_GPIO_TogglePin(GPIO_TypeDef *GPIOx, uint16_t GPIO_Pin)
{
    assert_param(IS_GPIO_PIN(GPIO_Pin));
    const uint32_t odr = GPIOx->ODR;
    GPIOx->BSRR = ((odr & GPIO_Pin) << 16U) | (~odr & GPIO_Pin);
}
