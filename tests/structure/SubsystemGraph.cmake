# Configures two small projects with cmake/Subsystems.cmake: in the first, a
# library over an empty subsystem must still link what the empty one stands
# on; in the second, a misspelt dependency must stop the configure.
#
#   cmake -DSUBSYSTEMS=<cmake/Subsystems.cmake> -DWORK=<scratch> -P SubsystemGraph.cmake
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE ${WORK})
file(WRITE ${WORK}/src/low/Low.h "#pragma once\n")
file(WRITE ${WORK}/src/top/Top.h "#pragma once\n")
file(MAKE_DIRECTORY ${WORK}/src/middle)

function(configure name body)
  file(WRITE ${WORK}/CMakeLists.txt "cmake_minimum_required(VERSION 3.25)\nproject(graph LANGUAGES NONE)\n"
       "include(${SUBSYSTEMS})\n${body}")
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${WORK} -B ${WORK}/build-${name}
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(result ${result} PARENT_SCOPE)
  set(output "${out}${err}" PARENT_SCOPE)
endfunction()

configure(chain [[
tm_subsystem(low low)
tm_subsystem(middle middle DEPS low)
tm_subsystem(top top DEPS middle)
if(TARGET tm_middle)
  message(FATAL_ERROR "an empty subsystem made a library")
endif()
get_target_property(links tm_top INTERFACE_LINK_LIBRARIES)
if(NOT links STREQUAL "tm_low")
  message(FATAL_ERROR "top links '${links}', not tm_low")
endif()
]])
if(NOT result EQUAL 0)
  message(FATAL_ERROR "library over an empty subsystem:\n${output}")
endif()
message(STATUS "library over an empty subsystem links what that one stands on")

configure(typo [[
tm_subsystem(low low)
tm_subsystem(top top DEPS lwo)
]])
string(FIND "${output}" "'lwo' is not a subsystem declared before it" at)
if(result EQUAL 0 OR at EQUAL -1)
  message(FATAL_ERROR "a misspelt dependency was not refused:\n${output}")
endif()
message(STATUS "a misspelt dependency stops the configure")
