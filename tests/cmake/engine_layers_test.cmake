# The layering check of the engine's folders, run on small trees of its own: it must pass a tree
# that keeps its order and fail one with an include cycle or an undeclared upward include,
# naming the file and the header. Run as: cmake -DCHECK=<EngineLayers.cmake> -DWORK=<dir> -P ...

set(failures "")

# Runs the check over `tree` with the layer declarations `decls`; sets `result` and `output`.
function(run_check name decls files)
  set(tree ${WORK}/${name})
  file(REMOVE_RECURSE ${tree})
  list(LENGTH files n)
  math(EXPR last "${n} - 1")
  foreach(i RANGE 0 ${last} 2)
    math(EXPR j "${i} + 1")
    list(GET files ${i} path)
    list(GET files ${j} content)
    file(WRITE ${tree}/${path} "${content}\n")
  endforeach()
  file(WRITE ${tree}/driver.cmake
       "cmake_minimum_required(VERSION 3.25)\ninclude(${CHECK})\n${decls}\npaginor_check_layers(${tree})\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -P ${tree}/driver.cmake RESULT_VARIABLE rc
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(result ${rc} PARENT_SCOPE)
  set(output "${out}${err}" PARENT_SCOPE)
endfunction()

macro(expect condition message)
  if(NOT (${condition}))
    list(APPEND failures "${message}")
  endif()
endmacro()

set(layered "paginor_layer(base)\npaginor_layer(middle DEPENDS base)\npaginor_layer(top DEPENDS middle)")

# A tree in order, with includes of the own folder, of layers further down and of outside headers.
run_check(ordered "${layered}"
  "base/a.h;#include <vector>"
  "middle/m.cpp;#include \"middle/m.h\"\n#include \"base/a.h\""
  "middle/m.h;#pragma once"
  "top/t.cpp;#include \"base/a.h\"\n#include \"gtest/gtest.h\"\n#include \"m.h\"")
if(NOT result EQUAL 0)
  list(APPEND failures "an ordered tree was refused: ${output}")
endif()

# base/a.cpp includes top: together with top -> middle -> base that is a cycle.
run_check(cycle "${layered}"
  "base/a.cpp;#include \"top/t.h\""
  "top/t.h;#include \"base/a.h\""
  "base/a.h;#pragma once")
if(result EQUAL 0)
  list(APPEND failures "an include cycle between base and top passed")
endif()
if(NOT output MATCHES "base/a.cpp includes \"top/t.h\": 'top' uses 'base' already: an include cycle")
  list(APPEND failures "the cycle's message does not name the file and the cycle: ${output}")
endif()

# Two layers side by side: one may not reach into the other without declaring it.
run_check(sideways "paginor_layer(base)\npaginor_layer(left DEPENDS base)\npaginor_layer(right DEPENDS base)"
  "left/l.cpp;#include \"right/r.h\""
  "right/r.h;#pragma once")
if(result EQUAL 0 OR NOT output MATCHES "left/l.cpp includes \"right/r.h\": 'left' does not depend on 'right'")
  list(APPEND failures "an undeclared include between siblings passed or was not named: ${output}")
endif()

# A layer declaring a dependency on one declared after it is refused before any file is read.
run_check(forward "paginor_layer(low DEPENDS high)\npaginor_layer(high)" "low/x.h;#pragma once")
if(result EQUAL 0 OR NOT output MATCHES "depends on 'high', which is not declared before it")
  list(APPEND failures "a dependency on a later layer passed: ${output}")
endif()

# Subfolders of a layer belong to it when listed, and are checked too.
run_check(subfolders "paginor_layer(base DIRS base base/sub)\npaginor_layer(top DEPENDS base)"
  "base/sub/s.cpp;#include \"top/t.h\""
  "top/t.h;#include \"base/sub/s.h\"")
if(result EQUAL 0 OR NOT output MATCHES "base/sub/s.cpp includes \"top/t.h\"")
  list(APPEND failures "an upward include from a layer's subfolder passed: ${output}")
endif()

if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "${text}")
endif()
message(STATUS "layering check: all cases as expected")
