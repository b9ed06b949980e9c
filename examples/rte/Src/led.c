#include "led.h"

#include "RTE_Components.h"
#include CMSIS_device_header

void led_toggle(void)
{
    GPIOA->OUT ^= 1U << 5;
}
