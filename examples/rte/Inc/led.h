#ifndef LED_H
#define LED_H

void led_toggle(void);

#endif
