# Which folder of src/ may include which: the one place the layering is written down.
# Run by CTest (test "layers.check"):  cmake -DKV_ROOT=<source dir> -P cmake/check_layers.cmake
#
# Every `#include "folder/..."` line under KV_ROOT/src is read; an include of a header in the
# same folder is always fine, one into another folder must be listed below for the including
# folder. A folder missing from the table fails too, so a new folder gets its place in the
# layering the day it is made.
#
# The layers, bottom up:
#   platform   the seams (prompter, clock, serial port, sound, ...), which every folder may use
#              and which include nothing of ours; platform/qt and platform/fake are
#              implementations that only the program, kvtool and the tests pick
#   core       formats, text files, real48, bounded tables, paths, JSON, plain state records,
#              plane sailing
#   subsystems nmea, geodesy, charts (store, chart files, chart waypoints), routes, ais, sim (the
#              voyage simulator, a source of sentences); above them, side by side, navigation
#              (the fix cycle) and views (view geometry and drawing)
#   app        the controller, the program state aggregate, start-up and quit, menu enabling
#   ui         Qt Widgets
set(KV_LAYER_platform "")
set(KV_LAYER_core platform)
set(KV_LAYER_platform/qt core platform)
set(KV_LAYER_platform/fake core platform)
set(KV_LAYER_nmea core platform)
set(KV_LAYER_geodesy core platform)
set(KV_LAYER_charts core platform)
set(KV_LAYER_raster core platform geodesy)
set(KV_LAYER_routes core platform charts)
# Range and bearing to a target are plane sailing, which is core arithmetic: ais needs no datum,
# grid or position readout.
set(KV_LAYER_ais core platform nmea)
# The voyage simulator makes sentences as a receiver would; it encodes them, it does not follow
# them, so it sits beside the receiving side and nothing of the program's own includes it.
set(KV_LAYER_sim core platform nmea ais)
# navigation and views sit side by side: a fix cycle reads sentences and targets and takes range
# and bearing by plane sailing, but never opens a chart or a route file (it gets the records) and
# shows no position text of its own; drawing reads records of charts, routes and targets, never
# sentences or the fix cycle.
set(KV_LAYER_navigation core platform nmea ais)
set(KV_LAYER_views core platform geodesy charts routes ais)
set(KV_LAYER_app core platform nmea geodesy charts routes ais navigation views raster)
set(KV_LAYER_ui core platform platform/qt nmea geodesy charts routes ais navigation views app raster)

# Headers a folder may include from above, each for a reason written here. Empty: every subsystem
# takes the bundle of records it reads and writes (declared beside it, built from the program
# state by member name), and only app and ui see the whole ProgramState.
set(KV_LAYER_TOLERATED "")
set(KV_LAYER_TOLERATED_IN "")

if(NOT KV_ROOT)
    message(FATAL_ERROR "check_layers: set KV_ROOT to the source folder")
endif()

# The layer a path under src/ belongs to: its first folder, or the platform implementation
# folder it sits in.
function(kv_layer_of path out)
    if(path MATCHES "^platform/(qt|fake)/")
        set(${out} "platform/${CMAKE_MATCH_1}" PARENT_SCOPE)
    elseif(path MATCHES "^([^/]+)/")
        set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
    else()
        set(${out} "" PARENT_SCOPE)
    endif()
endfunction()

file(GLOB_RECURSE kv_files RELATIVE "${KV_ROOT}/src" "${KV_ROOT}/src/*.h" "${KV_ROOT}/src/*.cpp")
list(SORT kv_files)
set(kv_faults 0)
foreach(rel ${kv_files})
    kv_layer_of("${rel}" from)
    if(from STREQUAL "")
        continue()
    endif()
    if(NOT DEFINED KV_LAYER_${from})
        message("src/${rel}: folder '${from}' has no place in the layer table of cmake/check_layers.cmake")
        math(EXPR kv_faults "${kv_faults} + 1")
        continue()
    endif()
    file(STRINGS "${KV_ROOT}/src/${rel}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line ${lines})
        if(NOT line MATCHES "\"([^\"]+)\"")
            continue()
        endif()
        set(target "${CMAKE_MATCH_1}")
        kv_layer_of("${target}" to)
        if(to STREQUAL "" OR to STREQUAL from)
            continue()
        endif()
        list(FIND KV_LAYER_${from} "${to}" allowed)
        list(FIND KV_LAYER_TOLERATED "${target}" tolerated)
        list(FIND KV_LAYER_TOLERATED_IN "${from}" subsystem)
        if(subsystem EQUAL -1)
            set(tolerated -1)
        endif()
        if(allowed EQUAL -1 AND tolerated EQUAL -1)
            message("src/${rel}: ${from} may not include ${target}")
            math(EXPR kv_faults "${kv_faults} + 1")
        endif()
    endforeach()
endforeach()

if(kv_faults GREATER 0)
    message(FATAL_ERROR "check_layers: ${kv_faults} include(s) against the layering")
endif()
list(LENGTH kv_files kv_count)
message(STATUS "check_layers: ${kv_count} files follow the layering")
