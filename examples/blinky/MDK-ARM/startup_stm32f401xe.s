; Vector table and reset handler (placeholder for the example).
                AREA    RESET, DATA, READONLY
                END
