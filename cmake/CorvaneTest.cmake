# corvane_add_test(NAME SOURCES... [LIBRARIES ...])
# Builds a Qt Test executable and registers it with CTest. The tests run headless and in a
# UTF-8 locale, whatever the calling shell has.
function(corvane_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt${QT_VERSION_MAJOR}::Test ${ARG_LIBRARIES})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;CORVANE_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()
