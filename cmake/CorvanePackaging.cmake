# Installation layout, the Debian package and the Windows zip.

include(GNUInstallDirs)

if(WIN32)
    # One folder, as Windows programs come: the executables with their DLLs beside them.
    set(corvane_bindir .)
else()
    set(corvane_bindir ${CMAKE_INSTALL_BINDIR})
endif()
install(TARGETS corvane corvane-cli RUNTIME DESTINATION ${corvane_bindir})

if(WIN32)
    include(CorvaneWindowsRuntime)
endif()

if(UNIX AND NOT APPLE)
    # What desktop environments look for: a .desktop entry, the file types it opens (the
    # Debian package's triggers update both databases) and a themed icon.
    install(FILES ${PROJECT_SOURCE_DIR}/resources/corvane.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/corvane-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME corvane.xml)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/corvane.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
endif()

set(CPACK_PACKAGE_NAME corvane)
set(CPACK_PACKAGE_VENDOR "Corvane")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "converts Keil MDK uVision projects into qmake project files")
set(CPACK_PACKAGE_DESCRIPTION
    "Corvane reads a Keil MDK uVision project (.uvprojx/.uvproj) and writes a qmake .pro file\n"
    "next to it, with the device, defines, include paths, headers and source files, so\n"
    "firmware projects open in qmake-based IDEs. Includes the corvane window and\n"
    "the corvane-cli command-line converter.")
set(CPACK_PACKAGE_CONTACT "Corvane developers <devel@corvane.invalid>")
set(CPACK_STRIP_FILES ON)

if(WIN32)
    set(CPACK_GENERATOR ZIP)
endif()

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
# Runtime dependencies are read off the binaries (dpkg-shlibdeps), so they name the Qt
# libraries the package was actually built against.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's labels are Chinese; without a CJK font they render as boxes. Qt's own
# Chinese for its standard buttons comes with Qt's translations.
if(QT_VERSION_MAJOR EQUAL 6)
    set(corvane_qt_translations qt6-translations-l10n)
else()
    set(corvane_qt_translations qttranslations5-l10n)
endif()
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-noto-cjk | fonts-wqy-microhei, ${corvane_qt_translations}")

include(CPack)
