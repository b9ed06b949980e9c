# corvane_add_test(NAME SOURCES... [LIBRARIES ...])
# Builds a Qt Test executable and registers it with CTest. The tests run headless and in a
# UTF-8 locale, whatever the calling shell has, and with a pack root that holds no packs:
# what a developer has installed in ~/.cache/arm/packs must not change what they expect.
# The index of pack roots goes to a cache folder of the build's own (XDG_CACHE_HOME; Windows
# has no such variable), not the developer's.
function(corvane_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt${QT_VERSION_MAJOR}::Test ${ARG_LIBRARIES})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;CORVANE_SOURCE_DIR=${PROJECT_SOURCE_DIR};CMSIS_PACK_ROOT=${CMAKE_BINARY_DIR}/no-packs;XDG_CACHE_HOME=${CMAKE_BINARY_DIR}/test-cache")
endfunction()

# corvane_use_qmake(NAME)
# Lets a test read generated files back with the qmake of the Qt it was built with
# (CORVANE_QMAKE, see tests/common/qmaketool.h). A cross-built test cannot run the build
# machine's qmake, so it goes without and skips those checks.
function(corvane_use_qmake name)
    if(TARGET Qt${QT_VERSION_MAJOR}::qmake AND NOT CMAKE_CROSSCOMPILING)
        target_compile_definitions(${name} PRIVATE
            CORVANE_QMAKE="$<TARGET_FILE:Qt${QT_VERSION_MAJOR}::qmake>")
    endif()
endfunction()
