/* Acme AC1 device header: the registers the example uses. */
#ifndef AC1XX_H
#define AC1XX_H

#ifndef AC10X
#error "select the device: AC10X"
#endif

#include "core_cm4.h"
#include "system_ac1xx.h"

typedef struct
{
    __IO uint32_t MODE;
    __IO uint32_t OUT;
    __IO uint32_t IN;
} GPIO_TypeDef;

#define GPIOA ((GPIO_TypeDef *)0x40020000UL)

#endif
