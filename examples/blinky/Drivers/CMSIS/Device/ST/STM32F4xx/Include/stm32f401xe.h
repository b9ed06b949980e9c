/* STM32F401xE: the interrupt numbers, peripheral registers and bits the example uses, at
 * their places in the memory map. */
#ifndef STM32F401XE_H
#define STM32F401XE_H

#define __CM4_REV 0x0001U
#define __MPU_PRESENT 1U
#define __NVIC_PRIO_BITS 4U
#define __FPU_PRESENT 1U

typedef enum {
    NonMaskableInt_IRQn = -14,
    HardFault_IRQn = -13,
    MemoryManagement_IRQn = -12,
    BusFault_IRQn = -11,
    UsageFault_IRQn = -10,
    SVCall_IRQn = -5,
    DebugMonitor_IRQn = -4,
    PendSV_IRQn = -2,
    SysTick_IRQn = -1,
    EXTI15_10_IRQn = 40
} IRQn_Type;

#include "core_cm4.h"
#include "system_stm32f4xx.h"
#include <stdint.h>

typedef struct
{
    __IO uint32_t MODER;
    __IO uint32_t OTYPER;
    __IO uint32_t OSPEEDR;
    __IO uint32_t PUPDR;
    __IO uint32_t IDR;
    __IO uint32_t ODR;
    __IO uint32_t BSRR;
    __IO uint32_t LCKR;
    __IO uint32_t AFR[2];
} GPIO_TypeDef;

typedef struct
{
    __IO uint32_t CR;
    __IO uint32_t PLLCFGR;
    __IO uint32_t CFGR;
    __IO uint32_t CIR;
    __IO uint32_t AHB1RSTR;
    __IO uint32_t AHB2RSTR;
    uint32_t RESERVED0[2];
    __IO uint32_t APB1RSTR;
    __IO uint32_t APB2RSTR;
    uint32_t RESERVED1[2];
    __IO uint32_t AHB1ENR;
    __IO uint32_t AHB2ENR;
    uint32_t RESERVED2[2];
    __IO uint32_t APB1ENR;
    __IO uint32_t APB2ENR;
} RCC_TypeDef;

typedef struct
{
    __IO uint32_t ACR;
    __IO uint32_t KEYR;
    __IO uint32_t OPTKEYR;
    __IO uint32_t SR;
    __IO uint32_t CR;
    __IO uint32_t OPTCR;
} FLASH_TypeDef;

#define FLASH_BASE 0x08000000UL
#define SRAM1_BASE 0x20000000UL
#define PERIPH_BASE 0x40000000UL
#define AHB1PERIPH_BASE (PERIPH_BASE + 0x00020000UL)

#define GPIOA_BASE (AHB1PERIPH_BASE + 0x0000UL)
#define GPIOB_BASE (AHB1PERIPH_BASE + 0x0400UL)
#define GPIOC_BASE (AHB1PERIPH_BASE + 0x0800UL)
#define RCC_BASE (AHB1PERIPH_BASE + 0x3800UL)
#define FLASH_R_BASE (AHB1PERIPH_BASE + 0x3C00UL)

#define GPIOA ((GPIO_TypeDef *)GPIOA_BASE)
#define GPIOB ((GPIO_TypeDef *)GPIOB_BASE)
#define GPIOC ((GPIO_TypeDef *)GPIOC_BASE)
#define RCC ((RCC_TypeDef *)RCC_BASE)
#define FLASH ((FLASH_TypeDef *)FLASH_R_BASE)

#define RCC_CR_HSION (1UL << 0U)
#define RCC_CR_HSIRDY (1UL << 1U)
#define RCC_CR_HSEON (1UL << 16U)
#define RCC_CR_HSERDY (1UL << 17U)
#define RCC_CR_PLLON (1UL << 24U)
#define RCC_CR_PLLRDY (1UL << 25U)

#define RCC_PLLCFGR_PLLM_Pos 0U
#define RCC_PLLCFGR_PLLM (0x3FUL << RCC_PLLCFGR_PLLM_Pos)
#define RCC_PLLCFGR_PLLN_Pos 6U
#define RCC_PLLCFGR_PLLN (0x1FFUL << RCC_PLLCFGR_PLLN_Pos)
#define RCC_PLLCFGR_PLLP_Pos 16U
#define RCC_PLLCFGR_PLLP (0x3UL << RCC_PLLCFGR_PLLP_Pos)
#define RCC_PLLCFGR_PLLSRC_HSE (1UL << 22U)
#define RCC_PLLCFGR_PLLQ_Pos 24U
#define RCC_PLLCFGR_PLLQ (0xFUL << RCC_PLLCFGR_PLLQ_Pos)

#define RCC_CFGR_SW_Pos 0U
#define RCC_CFGR_SW (0x3UL << RCC_CFGR_SW_Pos)
#define RCC_CFGR_SWS_Pos 2U
#define RCC_CFGR_SWS (0x3UL << RCC_CFGR_SWS_Pos)
#define RCC_CFGR_HPRE_Pos 4U
#define RCC_CFGR_HPRE (0xFUL << RCC_CFGR_HPRE_Pos)
#define RCC_CFGR_PPRE1_Pos 10U
#define RCC_CFGR_PPRE1 (0x7UL << RCC_CFGR_PPRE1_Pos)
#define RCC_CFGR_PPRE2_Pos 13U
#define RCC_CFGR_PPRE2 (0x7UL << RCC_CFGR_PPRE2_Pos)

#define RCC_AHB1ENR_GPIOAEN (1UL << 0U)
#define RCC_AHB1ENR_GPIOBEN (1UL << 1U)
#define RCC_AHB1ENR_GPIOCEN (1UL << 2U)

#define FLASH_ACR_LATENCY (0xFUL << 0U)
#define FLASH_ACR_PRFTEN (1UL << 8U)
#define FLASH_ACR_ICEN (1UL << 9U)
#define FLASH_ACR_DCEN (1UL << 10U)

#endif
