# One CTest entry per GoogleTest test suite: `ctest` starts a suite's program
# once for all of its tests (--gtest_filter=<suite>.*) instead of once per
# test, which under the sanitizers costs a start of a large program each
# (a fifth of a second or more: most of the run time of a short test).
# GoogleTest's own output names every test it ran and each that failed;
# `ctest --output-on-failure` shows it for a suite that fails.
#
# Included from tests/CMakeLists.txt, tm_test_suites(target ...) lists the
# suites at test time, as gtest_discover_tests(... DISCOVERY_MODE PRE_TEST)
# does, so the build never runs a test program. Run as a script
# (cmake -P, with the variables below) it does the listing itself.
if(CMAKE_SCRIPT_MODE_FILE)
  # EXE, WORKDIR, OUT: the program, where it runs, and the file to write the
  # list of its suites to (set(suites ...)).
  execute_process(COMMAND ${EXE} --gtest_list_tests
                  WORKING_DIRECTORY ${WORKDIR}
                  OUTPUT_VARIABLE listing ERROR_VARIABLE errors RESULT_VARIABLE rc TIMEOUT 120)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${EXE} --gtest_list_tests failed (${rc}):\n${listing}${errors}")
  endif()
  string(REPLACE ";" "\\;" listing "${listing}")
  string(REPLACE "\n" ";" lines "${listing}")
  set(suites "")
  foreach(line IN LISTS lines)
    # A suite's line is not indented and ends with a full stop: "Suite." or
    # "Prefix/Suite.  # TypeParam = ..."; its tests follow, indented. (The
    # main function may say something first.)
    string(REGEX REPLACE "[ \t]+#.*$" "" suite "${line}")
    if(NOT suite MATCHES "^[^ \t].*\\.$")
      continue()
    endif()
    string(REGEX REPLACE "\\.$" "" suite "${suite}")
    if(NOT suite MATCHES "^DISABLED_|/DISABLED_")
      string(APPEND suites " [==[${suite}]==]")
    endif()
  endforeach()
  if(suites STREQUAL "")
    message(FATAL_ERROR "${EXE} lists no test suite")
  endif()
  file(WRITE ${OUT} "set(suites${suites})\n")
  return()
endif()

set(TM_TEST_SUITES_SCRIPT ${CMAKE_CURRENT_LIST_FILE})

# tm_test_suites(target [PROPERTIES name value...] [COSTS suite cost...]): the
# suites of GoogleTest program `target` as CTest entries named
# "<program>: <suite>.*" (two programs may have suites of one name;
# "base: TimeFormat.*" is a suite of base_tests), run in the current binary
# folder, with the test properties given. A suite named in COSTS gets that
# COST, so a run with no timings of an earlier run starts it early (a suite
# of long tests runs them one after the other).
function(tm_test_suites target)
  cmake_parse_arguments(ARG "" "" "PROPERTIES;COSTS" ${ARGN})
  string(REGEX REPLACE "_tests$" "" program ${target})
  set(base ${CMAKE_CURRENT_BINARY_DIR}/${target}_suites)
  set(list_file ${base}_list.cmake)
  set(exe "$<TARGET_FILE:${target}>")
  # The environment the directory gives every test (TM_TEST_ENVIRONMENT)
  # first, then the suite's own.
  set(properties "")
  set(environment ${TM_TEST_ENVIRONMENT})
  set(next_is_environment FALSE)
  foreach(p IN LISTS ARG_PROPERTIES)
    if(next_is_environment)
      list(APPEND environment "${p}")
      set(next_is_environment FALSE)
    elseif(p STREQUAL "ENVIRONMENT")
      set(next_is_environment TRUE)
    else()
      string(APPEND properties " [==[${p}]==]")
    endif()
  endforeach()
  if(environment)
    string(APPEND properties " ENVIRONMENT [==[${environment}]==]")
  endif()
  set(costs "")
  while(ARG_COSTS)
    list(POP_FRONT ARG_COSTS suite cost)
    string(APPEND costs "    if(suite STREQUAL [==[${suite}]==])\n"
           "      set_tests_properties(\"${program}: \${suite}.*\" PROPERTIES COST ${cost})\n"
           "    endif()\n")
  endwhile()
  # Listed again only when the program (or this script) is newer than the
  # last listing.
  string(CONCAT content
    "if(EXISTS [==[${exe}]==])\n"
    "  if(NOT EXISTS [==[${list_file}]==] OR NOT [==[${list_file}]==] IS_NEWER_THAN [==[${exe}]==] OR\n"
    "     NOT [==[${list_file}]==] IS_NEWER_THAN [==[${TM_TEST_SUITES_SCRIPT}]==])\n"
    "    execute_process(COMMAND [==[${CMAKE_COMMAND}]==] [==[-DEXE=${exe}]==]\n"
    "                    [==[-DWORKDIR=${CMAKE_CURRENT_BINARY_DIR}]==] [==[-DOUT=${list_file}]==]\n"
    "                    -P [==[${TM_TEST_SUITES_SCRIPT}]==] RESULT_VARIABLE rc)\n"
    "    if(NOT rc EQUAL 0)\n"
    "      message(FATAL_ERROR \"Listing the test suites of ${target} failed\")\n"
    "    endif()\n"
    "  endif()\n"
    "  include([==[${list_file}]==])\n"
    "  foreach(suite IN LISTS suites)\n"
    "    add_test(\"${program}: \${suite}.*\" [==[${exe}]==] \"--gtest_filter=\${suite}.*\")\n"
    "    set_tests_properties(\"${program}: \${suite}.*\" PROPERTIES WORKING_DIRECTORY [==[${CMAKE_CURRENT_BINARY_DIR}]==]"
    "${properties})\n"
    "${costs}"
    "  endforeach()\n"
    "else()\n"
    "  add_test(${target}_NOT_BUILT ${target}_NOT_BUILT)\n"
    "endif()\n")
  file(GENERATE OUTPUT ${base}_include.cmake CONTENT "${content}")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${base}_include.cmake)
endfunction()
