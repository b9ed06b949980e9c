; Startup of AC1 devices (the project's copy of the pack's file).
                AREA    RESET, DATA, READONLY
                EXPORT  __Vectors
__Vectors       DCD     0x20002000
                DCD     Reset_Handler
                AREA    |.text|, CODE, READONLY
Reset_Handler   PROC
                EXPORT  Reset_Handler
                IMPORT  SystemInit
                IMPORT  __main
                LDR     R0, =SystemInit
                BLX     R0
                LDR     R0, =__main
                BX      R0
                ENDP
                END
