/* Application entry and the board's pins (NUCLEO-F401RE: user LED LD2 on PA5, user button
 * B1 on PC13). */
#ifndef MAIN_H
#define MAIN_H

#include "stm32f4xx_hal.h"

#define LED_Pin GPIO_PIN_5
#define LED_GPIO_Port GPIOA
#define BUTTON_Pin GPIO_PIN_13
#define BUTTON_GPIO_Port GPIOC

void Error_Handler(void);

#endif
