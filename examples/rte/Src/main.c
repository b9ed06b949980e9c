#include "RTE_Components.h"
#include CMSIS_device_header

#include "led.h"

static volatile uint32_t ticks;

void SysTick_Handler(void);

void SysTick_Handler(void)
{
    ++ticks;
    if (ticks % 500U == 0U)
        led_toggle();
}

int main(void)
{
    GPIOA->MODE |= 1U << 10;
    (void)SysTick_Config(SystemCoreClock / 1000U);
    for (;;) {
    }
}
