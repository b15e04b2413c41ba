# The X tools of the played tests (included by tests/CMakeLists.txt): the
# window watcher (XWindowWatch.cpp), which follows the game's window on the X
# screen from outside, and the X robot (XRobot.cpp), which plays the game
# through the X server itself (XTest) and reads the screen back. Both stand
# on libX11 (and the robot on libXtst) and the platform's PNG files.
find_package(X11)
# Without them the robot's entries would drop out of the run unseen.
if(NOT X11_FOUND)
  message(FATAL_ERROR "The X robot's entries need the X11 headers and library: install libx11-dev")
elseif(NOT X11_XTest_FOUND)
  message(FATAL_ERROR "The X robot's entries need the XTest headers and library: install libxtst-dev")
endif()
if(NOT TARGET x_window_watch)
  add_executable(x_window_watch ${CMAKE_CURRENT_LIST_DIR}/XWindowWatch.cpp)
  target_link_libraries(x_window_watch PRIVATE tm_platform X11::X11)
  tm_strict(x_window_watch)
endif()
if(NOT TARGET x_robot)
  add_executable(x_robot ${CMAKE_CURRENT_LIST_DIR}/XRobot.cpp)
  target_link_libraries(x_robot PRIVATE tm_platform X11::X11 X11::Xtst)
  tm_strict(x_robot)
endif()

# tm_robot_test(NAME SCRIPT [ARGS...]): an entry that plays the game through
# the X robot: bash SCRIPT GAME WORK_FOLDER DATA_FOLDER ROBOT WATCH [ARGS...]
# (tests/app/xwatch/Robot.sh says how such a script starts its X server).
# Label "robot"; each entry's X server is its own, so they run side by side.
function(tm_robot_test name script)
  add_test(NAME ${name}
           COMMAND bash ${script} $<TARGET_FILE:tallowmere> ${CMAKE_CURRENT_BINARY_DIR}/${name} ${sample_data}
                   $<TARGET_FILE:x_robot> $<TARGET_FILE:x_window_watch> ${ARGN})
  set_tests_properties(${name} PROPERTIES LABELS robot TIMEOUT 600 FIXTURES_REQUIRED data_sets)
endfunction()
