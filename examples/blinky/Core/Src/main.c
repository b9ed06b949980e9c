#include "main.h"

int main(void)
{
    HAL_Init();
    SystemClock_Config();
    for (;;) {
        HAL_GPIO_TogglePin(LED_PORT, LED_PIN);
        HAL_Delay(500);
    }
}

void Error_Handler(void)
{
    for (;;) {
    }
}
