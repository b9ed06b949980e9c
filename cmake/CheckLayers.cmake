# cmake -DCORE=<src/core> -P CheckLayers.cmake
# The engine's folders follow the data, and a file includes only from its own folder and
# the ones before it: common, reading, model, packs, then the outputs (qmake, and any other
# renderer folder), then the entry points at the top of src/core. Fails naming each include
# that reaches forward, or across between two output folders.
cmake_minimum_required(VERSION 3.16)
get_filename_component(CORE "${CORE}" ABSOLUTE)
set(order common reading model packs)
file(GLOB folders LIST_DIRECTORIES true RELATIVE ${CORE} ${CORE}/*)
set(outputs)
foreach(folder IN LISTS folders)
    if(IS_DIRECTORY ${CORE}/${folder} AND NOT folder IN_LIST order)
        list(APPEND outputs ${folder})
    endif()
endforeach()

function(rank_of folder out)
    list(FIND order "${folder}" index)
    if(index LESS 0)
        list(LENGTH order index) # an output folder: after every stage of the order
    endif()
    set(${out} ${index} PARENT_SCOPE)
endfunction()

set(bad)
file(GLOB_RECURSE sources RELATIVE ${CORE} ${CORE}/*/*.h ${CORE}/*/*.cpp)
foreach(source IN LISTS sources)
    get_filename_component(folder ${source} DIRECTORY)
    rank_of(${folder} own)
    file(STRINGS ${CORE}/${source} includes REGEX "^#include \"")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE "^#include \"([^\"]*)\".*" "\\1" included "${line}")
        get_filename_component(other "${included}" DIRECTORY)
        if(other STREQUAL "")
            list(APPEND bad "${source}: ${included} (an entry point, or no folder)")
            continue()
        endif()
        rank_of(${other} theirs)
        if(theirs GREATER own OR (NOT other STREQUAL folder AND other IN_LIST outputs AND
                                  folder IN_LIST outputs))
            list(APPEND bad "${source}: ${included}")
        endif()
    endforeach()
endforeach()
if(bad)
    list(JOIN bad "\n  " text)
    message(FATAL_ERROR "includes that reach a later folder:\n  ${text}")
endif()
message(STATUS "every include of ${CORE} reaches back")
