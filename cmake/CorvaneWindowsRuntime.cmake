# What corvane.exe and corvane-cli.exe load on a Windows machine without Qt or a compiler:
# the Qt DLLs, the plugins Qt looks for beside the executable (platforms\, styles\), Qt's
# Chinese translation (translations\) and, for a MinGW build, the compiler's runtime DLLs.

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

# Qt's own Chinese for the window's standard buttons and dialogs: translations\ beside the
# executables, where the window looks first. A Qt kit for Windows has it in
# <prefix>\translations; a cross build takes the build machine's (Debian's
# qttranslations5-l10n or qt6-translations-l10n), the same file for the same Qt version.
get_filename_component(qt_translations "${${qt}Core_DIR}/../../../translations" ABSOLUTE)
find_file(CORVANE_QT_TRANSLATION qtbase_zh_CN.qm
    PATHS ${qt_translations} /usr/share/qt${QT_VERSION_MAJOR}/translations
    NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(CORVANE_QT_TRANSLATION)
    install(FILES ${CORVANE_QT_TRANSLATION} DESTINATION ${corvane_bindir}/translations)
    # The programs and test suites in the build tree find it as the unpacked zip does.
    foreach(dir bin tests)
        file(COPY ${CORVANE_QT_TRANSLATION} DESTINATION ${CMAKE_BINARY_DIR}/${dir}/translations)
    endforeach()
else()
    message(WARNING "qtbase_zh_CN.qm is neither in ${qt_translations} nor in "
        "/usr/share/qt${QT_VERSION_MAJOR}/translations: the window's standard buttons stay "
        "English. -DCORVANE_QT_TRANSLATION=<path of the file> names it.")
endif()
