#ifndef STM32F4XX_H
#define STM32F4XX_H

#include "system_stm32f4xx.h"

#endif
