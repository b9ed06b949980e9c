#ifndef STM32F4XX_HAL_GPIO_H
#define STM32F4XX_HAL_GPIO_H

#define GPIO_PIN_5 (1U << 5)

void HAL_GPIO_TogglePin(void *port, unsigned short pin);

#endif
