/* Application entry and shared pin definitions. */
#ifndef MAIN_H
#define MAIN_H

#include "stm32f4xx_hal.h"

#define LED_PIN GPIO_PIN_5
#define LED_PORT GPIOA

void Error_Handler(void);

#endif
