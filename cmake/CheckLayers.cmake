# cmake -DCORE=<src/core> -P CheckLayers.cmake
# The engine's folders follow the data, and a file includes only from its own folder and
# the ones before it: common, reading, model, packs, then the outputs (qmake, compiledb, and any
# other renderer folder), then conversion, which writes them. Fails naming each include that
# reaches forward, or across between two output folders, and each file at the root of
# src/core but CMakeLists.txt.
cmake_minimum_required(VERSION 3.16)
get_filename_component(CORE "${CORE}" ABSOLUTE)
set(order common reading model packs)
file(GLOB folders LIST_DIRECTORIES true RELATIVE ${CORE} ${CORE}/*)
set(outputs)
foreach(folder IN LISTS folders)
    if(IS_DIRECTORY ${CORE}/${folder} AND NOT folder IN_LIST order AND
       NOT folder STREQUAL "conversion")
        list(APPEND outputs ${folder})
    endif()
endforeach()

function(rank_of folder out)
    list(FIND order "${folder}" index)
    if(folder STREQUAL "conversion")
        list(LENGTH order index) # after the outputs
        math(EXPR index "${index} + 1")
    elseif(index LESS 0)
        list(LENGTH order index) # an output folder: after every stage of the order
    endif()
    set(${out} ${index} PARENT_SCOPE)
endfunction()

set(bad)
file(GLOB loose LIST_DIRECTORIES false RELATIVE ${CORE} ${CORE}/*)
list(REMOVE_ITEM loose CMakeLists.txt)
foreach(file IN LISTS loose)
    list(APPEND bad "${file} (a file at the root: it belongs in the folder of its stage)")
endforeach()
file(GLOB_RECURSE sources RELATIVE ${CORE} ${CORE}/*/*.h ${CORE}/*/*.cpp)
foreach(source IN LISTS sources)
    get_filename_component(folder ${source} DIRECTORY)
    rank_of(${folder} own)
    file(STRINGS ${CORE}/${source} includes REGEX "^#include \"")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE "^#include \"([^\"]*)\".*" "\\1" included "${line}")
        get_filename_component(other "${included}" DIRECTORY)
        if(other STREQUAL "")
            list(APPEND bad "${source}: ${included} (no folder)")
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
    message(FATAL_ERROR "files outside their stage, or includes that reach a later one:\n  ${text}")
endif()
message(STATUS "every include of ${CORE} reaches back")
