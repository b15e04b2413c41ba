# Proves that the layering check catches what it is for: in a small tree laid
# out like ours, the check passes while every include points down, then fails,
# naming the file and the edge, once one upward include is planted; the same
# holds for a DIRECT layer reaching past what it names, an include of a file
# that does not exist, a source in a folder no subsystem owns, and a forward
# declaration of a class that only a higher layer defines (one of a class of
# its own or a lower layer, or of a name no file defines, passes).
#
#   cmake -DLAYERS=<build>/layers.cmake -DCHECK=<CheckLayers.cmake> -DWORK=<scratch> -P PlantedInclude.cmake
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE ${WORK})
file(WRITE ${WORK}/src/platform/os/Clock.h "#pragma once\nclass Clock {\n public:\n  int now = 0;\n};\n")
# Forward declarations of a lower layer's class and of a library's.
file(WRITE ${WORK}/src/base/Types.h "#pragma once\n#include \"platform/os/Clock.h\"\nclass Clock;\nstruct FT_FaceRec_;\n")
file(WRITE ${WORK}/src/engine/DXLViewer.h
     "#pragma once\n#include \"base/Types.h\"\nnamespace kis {\nclass Clock;\n}\nclass DXLViewer final : public Clock {\n};\n")
file(WRITE ${WORK}/src/engine/DXLViewer.cpp "#include \"engine/DXLViewer.h\"\n#include \"platform/os/Clock.h\"\n")
file(WRITE ${WORK}/src/pathfinding/PathFinder.h "#pragma once\n#include \"base/Types.h\"\n")
file(WRITE ${WORK}/tools/demo/Demo.cpp "#include \"engine/DXLViewer.h\"\n#include \"Demo.h\"\n")
file(WRITE ${WORK}/tools/demo/Demo.h "#pragma once\n")

# Runs the check on the scratch tree; `expect` is "pass" or the text the
# failure must hold.
function(run_check what expect)
  execute_process(COMMAND ${CMAKE_COMMAND} -DLAYERS=${LAYERS} -DROOT=${WORK} -P ${CHECK}
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(REPLACE "\n" " " text "${out}${err}")
  string(REGEX REPLACE " +" " " text "${text}")
  if(expect STREQUAL "pass")
    if(NOT result EQUAL 0)
      message(FATAL_ERROR "${what}: the check failed on a sound tree:\n${out}${err}")
    endif()
  else()
    if(result EQUAL 0)
      message(FATAL_ERROR "${what}: the check passed")
    endif()
    string(FIND "${text}" "${expect}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "${what}: the failure does not say \"${expect}\":\n${out}${err}")
    endif()
  endif()
  message(STATUS "${what}: as expected")
endfunction()

run_check("sound tree" pass)

file(WRITE ${WORK}/src/base/Planted.cpp "#include \"base/Types.h\"\n#include \"engine/DXLViewer.h\"\n")
run_check("upward include"
          "src/base/Planted.cpp: \"engine/DXLViewer.h\" makes base include engine, but base may include only: platform")
file(REMOVE ${WORK}/src/base/Planted.cpp)

file(WRITE ${WORK}/src/pathfinding/Planted.cpp "#include \"platform/os/Clock.h\"\n")
run_check("direct layer reaching below" "makes pathfinding include platform, but pathfinding may include only: base")
file(REMOVE ${WORK}/src/pathfinding/Planted.cpp)

file(WRITE ${WORK}/src/engine/Planted.cpp "#include \"engine/Missing.h\"\n")
run_check("missing header" "src/engine/Planted.cpp: \"engine/Missing.h\" is no file")
file(REMOVE ${WORK}/src/engine/Planted.cpp)

file(WRITE ${WORK}/src/stray/Planted.cpp "#include \"base/Types.h\"\n")
run_check("folder of no subsystem" "src/stray/Planted.cpp: its folder belongs to no subsystem")
file(REMOVE_RECURSE ${WORK}/src/stray)

file(WRITE ${WORK}/src/base/Planted.h "#pragma once\n  class DXLViewer;\n")
run_check("upward forward declaration"
          "src/base/Planted.h: forward-declares DXLViewer, a class of engine (src/engine/DXLViewer.h), but base may include only: platform")
file(WRITE ${WORK}/src/platform/os/Viewer.h "#pragma once\nstruct DXLViewer\n{\n};\n")
run_check("forward declaration of a name a lower layer defines too" pass)
file(REMOVE ${WORK}/src/base/Planted.h ${WORK}/src/platform/os/Viewer.h)

run_check("sound tree again" pass)
