# Proves that the mutable-globals check catches what it is for: against an
# empty list, the planted library (GlobalsProbe.cpp) fails, naming each of its
# mutable globals with the library and none of its constant data, vtable,
# typeinfo or compiler-made symbols; with them listed it passes; an entry
# without its reason fails; an entry whose global is gone is reported but
# passes; and the printed list keeps the reasons and drops what is gone.
#
#   cmake -DNM=<nm> -DPROBE=<probe library> -DCHECK=<CheckGlobals.cmake> -DWORK=<scratch> -P PlantedGlobal.cmake
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(WRITE ${WORK}/libraries.txt "${PROBE}\n")
set(globals "g_counter" "(anonymous namespace)::g_hidden" "g_inline" "t_depth" "Counter()::count"
            "CacheSize()::cache")
list(SORT globals)

# Runs the check with `list` as the allow-list; `expect` is "pass" or "fail",
# `say` texts the output must hold, `never` texts it must not.
function(run_check what list expect)
  cmake_parse_arguments(ARG "" "" "SAY;NEVER" ${ARGN})
  file(WRITE ${WORK}/list.txt "${list}")
  execute_process(COMMAND ${CMAKE_COMMAND} -DNM=${NM} -DLIBRARIES=${WORK}/libraries.txt -DALLOW=${WORK}/list.txt
                          -P ${CHECK}
                  WORKING_DIRECTORY ${WORK} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(expect STREQUAL "pass" AND NOT result EQUAL 0)
    message(FATAL_ERROR "${what}: the check failed:\n${out}${err}")
  elseif(expect STREQUAL "fail" AND result EQUAL 0)
    message(FATAL_ERROR "${what}: the check passed:\n${out}${err}")
  endif()
  # The failure's text as CMake wraps it, on one line.
  string(REPLACE "\n" " " said "${out}${err}")
  string(REGEX REPLACE " +" " " said "${said}")
  foreach(text ${ARG_SAY})
    string(FIND "${said}" "${text}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "${what}: the output does not say \"${text}\":\n${out}${err}")
    endif()
  endforeach()
  foreach(text ${ARG_NEVER})
    string(FIND "${said}" "${text}" at)
    if(NOT at EQUAL -1)
      message(FATAL_ERROR "${what}: the output names \"${text}\":\n${out}${err}")
    endif()
  endforeach()
  message(STATUS "${what}: as expected")
endfunction()

set(named "")
set(listed "# The probe's globals.\n\n[mutable_globals_probe]\n")
foreach(name ${globals})
  list(APPEND named "mutable_globals_probe: ${name}")
  string(APPEND listed "${name}  # planted\n")
endforeach()
run_check("empty list" "" fail SAY "6 mutable global(s) not in" ${named}
          NEVER kTable kNames Shape vtable typeinfo guard .L __ DW.ref)
run_check("every global listed" "${listed}" pass SAY "Mutable globals all listed: 6")

string(REPLACE "g_counter  # planted" "g_counter" unreasoned "${listed}")
run_check("entry without its reason" "${unreasoned}" fail
          SAY "1 entr(ies) of ${WORK}/list.txt without the reason" "mutable_globals_probe: g_counter")

run_check("entry whose global is gone" "${listed}g_gone  # planted\n" pass
          SAY "not defined in this build" "mutable_globals_probe: g_gone")

# The printed list: the header and every reason kept, the gone entry dropped.
file(WRITE ${WORK}/list.txt "${listed}g_gone  # planted\n")
execute_process(COMMAND ${CMAKE_COMMAND} -DNM=${NM} -DLIBRARIES=${WORK}/libraries.txt -DALLOW=${WORK}/list.txt
                        -DPRINT=${WORK}/printed.txt -P ${CHECK}
                WORKING_DIRECTORY ${WORK} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
file(READ ${WORK}/printed.txt printed)
string(REPLACE "  #" " #" expected "${listed}")
if(NOT result EQUAL 0 OR NOT printed STREQUAL "${expected}")
  message(FATAL_ERROR "printed list:\n${printed}\nexpected:\n${expected}\n${out}${err}")
endif()
message(STATUS "printed list: as expected")
