# Proof that the layer check bites: a copy of src/ passes it, and the same copy with one planted
# include against the layering fails with the file and the include named.
#   cmake -DKV_ROOT=<source dir> -DKV_WORK=<scratch dir> -P cmake/check_layers_planted.cmake

if(NOT KV_ROOT OR NOT KV_WORK)
    message(FATAL_ERROR "check_layers_planted: set KV_ROOT and KV_WORK")
endif()

file(REMOVE_RECURSE "${KV_WORK}")
file(MAKE_DIRECTORY "${KV_WORK}")
file(COPY "${KV_ROOT}/src" DESTINATION "${KV_WORK}")

function(kv_run_check out_rc out_text)
    execute_process(COMMAND "${CMAKE_COMMAND}" -DKV_ROOT=${KV_WORK} -P "${CMAKE_CURRENT_LIST_DIR}/check_layers.cmake"
                    RESULT_VARIABLE rc OUTPUT_VARIABLE text ERROR_VARIABLE text)
    set(${out_rc} "${rc}" PARENT_SCOPE)
    set(${out_text} "${text}" PARENT_SCOPE)
endfunction()

kv_run_check(rc text)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the unchanged copy of src/ should pass:\n${text}")
endif()

# planted file | include line | what the check must say
set(kv_cases
    "core/Planted.h|#include \"app/MainController.h\"|src/core/Planted.h: core may not include app/MainController.h"
    "core/Planted.cpp|  #  include \"nmea/NmeaParse.h\"|src/core/Planted.cpp: core may not include nmea/NmeaParse.h"
    "charts/Planted.cpp|#include \"views/Render.h\"|src/charts/Planted.cpp: charts may not include views/Render.h"
    "routes/Planted.h|#include \"navigation/FixCycle.h\"|src/routes/Planted.h: routes may not include navigation/FixCycle.h"
    "ais/Planted.h|#include \"views/AisDraw.h\"|src/ais/Planted.h: ais may not include views/AisDraw.h"
    "nmea/Planted.h|#include \"ais/AisDecoder.h\"|src/nmea/Planted.h: nmea may not include ais/AisDecoder.h"
    "navigation/Planted.h|#include \"app/Lifecycle.h\"|src/navigation/Planted.h: navigation may not include app/Lifecycle.h"
    "views/Planted.h|#include \"platform/fake/Fakes.h\"|src/views/Planted.h: views may not include platform/fake/Fakes.h"
    "app/Planted.h|#include \"platform/qt/QtSerialPort.h\"|src/app/Planted.h: app may not include platform/qt/QtSerialPort.h"
    "platform/Planted.h|#include \"app/ProgramState.h\"|src/platform/Planted.h: platform may not include app/ProgramState.h"
    "platform/Planted.cpp|#include \"core/Format.h\"|src/platform/Planted.cpp: platform may not include core/Format.h"
    "geodesy/Planted.h|#include \"app/ProgramState.h\"|src/geodesy/Planted.h: geodesy may not include app/ProgramState.h"
    "routes/Planted.cpp|#include \"app/ProgramState.h\"|src/routes/Planted.cpp: routes may not include app/ProgramState.h"
    "navigation/Planted.h|#include \"app/ProgramState.h\"|src/navigation/Planted.h: navigation may not include app/ProgramState.h"
    "views/Planted.cpp|#include \"app/ProgramState.h\"|src/views/Planted.cpp: views may not include app/ProgramState.h"
    "navigation/Planted.cpp|#include \"charts/ChartFiles.h\"|src/navigation/Planted.cpp: navigation may not include charts/ChartFiles.h"
    "navigation/Planted.h|#include \"routes/Routes.h\"|src/navigation/Planted.h: navigation may not include routes/Routes.h"
    "views/Planted.h|#include \"nmea/NmeaParse.h\"|src/views/Planted.h: views may not include nmea/NmeaParse.h"
    "views/Planted.cpp|#include \"navigation/FixCycle.h\"|src/views/Planted.cpp: views may not include navigation/FixCycle.h"
    "navigation/Planted.cpp|#include \"geodesy/PositionText.h\"|src/navigation/Planted.cpp: navigation may not include geodesy/PositionText.h"
    "ais/Planted.cpp|#include \"geodesy/ChartDatum.h\"|src/ais/Planted.cpp: ais may not include geodesy/ChartDatum.h"
    "navigation/Planted.h|#include \"sim/VoyageSimulator.h\"|src/navigation/Planted.h: navigation may not include sim/VoyageSimulator.h"
    "sim/Planted.cpp|#include \"navigation/FixCycle.h\"|src/sim/Planted.cpp: sim may not include navigation/FixCycle.h"
    "sim/Planted.h|#include \"geodesy/Grid.h\"|src/sim/Planted.h: sim may not include geodesy/Grid.h"
    "charts/Planted.h|#include \"geodesy/ChartDatum.h\"|src/charts/Planted.h: charts may not include geodesy/ChartDatum.h"
    "routes/Planted.cpp|#include \"geodesy/PositionReadout.h\"|src/routes/Planted.cpp: routes may not include geodesy/PositionReadout.h"
    "gadgets/Planted.h|#include \"core/Format.h\"|src/gadgets/Planted.h: folder 'gadgets' has no place in the layer table")

set(kv_failures 0)
foreach(case ${kv_cases})
    string(REPLACE "|" ";" parts "${case}")
    list(GET parts 0 file)
    list(GET parts 1 include)
    list(GET parts 2 expected)
    file(WRITE "${KV_WORK}/src/${file}" "#pragma once\n${include}\n")
    kv_run_check(rc text)
    file(REMOVE "${KV_WORK}/src/${file}")
    string(FIND "${text}" "${expected}" at)
    if(rc EQUAL 0 OR at EQUAL -1)
        message("planted ${file} (${include}): expected failure with\n  ${expected}\ngot rc=${rc}:\n${text}")
        math(EXPR kv_failures "${kv_failures} + 1")
    endif()
endforeach()

file(REMOVE_RECURSE "${KV_WORK}")
if(kv_failures GREATER 0)
    message(FATAL_ERROR "check_layers_planted: ${kv_failures} case(s) wrong")
endif()
message(STATUS "check_layers_planted: every planted include was caught")
