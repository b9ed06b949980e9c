# What corvane.exe and corvane-cli.exe load on a Windows machine without Qt or a compiler:
# the Qt DLLs, the plugins Qt looks for beside the executable (platforms\, styles\) and,
# for a MinGW build, the compiler's runtime DLLs.

find_package(Qt${QT_VERSION_MAJOR} REQUIRED COMPONENTS Core Gui Widgets)
set(qt Qt${QT_VERSION_MAJOR})

foreach(module Core Gui Widgets)
    install(FILES $<TARGET_FILE:${qt}::${module}> DESTINATION ${corvane_bindir})
endforeach()
install(FILES $<TARGET_FILE:${qt}::QWindowsIntegrationPlugin>
    DESTINATION ${corvane_bindir}/platforms)
if(TARGET ${qt}::QWindowsVistaStylePlugin)
    # The native look of buttons and fields; without it Qt falls back to Fusion.
    install(FILES $<TARGET_FILE:${qt}::QWindowsVistaStylePlugin>
        DESTINATION ${corvane_bindir}/styles)
endif()

if(MINGW)
    # libgcc_s_seh-1 for 64-bit, libgcc_s_dw2-1 for 32-bit; the posix thread model adds
    # libwinpthread-1.
    foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libgcc_s_dw2-1.dll libwinpthread-1.dll)
        execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
            OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(IS_ABSOLUTE "${dll_path}" AND EXISTS "${dll_path}")
            install(FILES ${dll_path} DESTINATION ${corvane_bindir})
        endif()
    endforeach()
endif()

if(MSVC)
    # vcruntime and the C++ library, beside the executables.
    set(CMAKE_INSTALL_SYSTEM_RUNTIME_DESTINATION ${corvane_bindir})
    include(InstallRequiredSystemLibraries)
endif()
