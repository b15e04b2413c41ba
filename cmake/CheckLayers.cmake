# The layering check: every `#include "..."` in src/ and tools/ must point down
# the library graph that src/CMakeLists.txt declares.
#
#   cmake -DLAYERS=<build>/layers.cmake -DROOT=<source tree> -P CheckLayers.cmake
#
# LAYERS is the file tm_write_layers writes at configure time. A file in src/
# belongs to the layer whose folder holds it; it may include its own layer, the
# layers that layer names and, unless the layer is DIRECT, everything below
# those. tools/ stands above every layer and may also include tools/ itself.
# An include is looked up beside the including file first, then under src/
# (and tools/ for a tool); one that finds no file, a file under src/ outside
# every layer's folders, and an include that leaves src/ from src/ all fail.
# A forward declaration (`class X;` or `struct X;`) in src/ names a class as an
# include would: when the classes of that name are defined only in layers the
# declaring file may not include, the declaration reaches upwards and fails
# too (a name no file of src/ defines, a library's, is left alone).
# Every fault is listed; the script fails when there is one.
cmake_minimum_required(VERSION 3.25)

if(NOT LAYERS OR NOT ROOT)
  message(FATAL_ERROR "usage: cmake -DLAYERS=<layers.cmake> -DROOT=<source tree> -P CheckLayers.cmake")
endif()
include(${LAYERS})

# Folder (under src/) -> layer, and each layer's includable layers.
foreach(layer ${TM_LAYERS})
  foreach(dir ${TM_LAYER_${layer}_DIRS})
    set(owner_${dir} ${layer})
  endforeach()
endforeach()
# Layers are declared after what they stand on, so the closure of every
# dependency is known when a layer's own is built.
foreach(layer ${TM_LAYERS})
  set(closure ${TM_LAYER_${layer}_DEPS})
  foreach(dep ${TM_LAYER_${layer}_DEPS})
    list(APPEND closure ${closure_${dep}})
  endforeach()
  list(REMOVE_DUPLICATES closure)
  set(closure_${layer} ${closure})
  if(TM_LAYER_${layer}_DIRECT)
    set(reach_${layer} ${TM_LAYER_${layer}_DEPS})
  else()
    set(reach_${layer} ${closure})
  endif()
endforeach()

# The layer of a path relative to src/ (empty when no layer owns its folder).
function(layer_of rel out)
  get_filename_component(dir ${rel} DIRECTORY)
  if(dir STREQUAL "")
    set(dir .)
  endif()
  if(DEFINED owner_${dir})
    set(${out} ${owner_${dir}} PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()

set(faults "")
set(declarations "")  # file|layer|name of every forward declaration in src/
set(files_read 0)
set(includes_read 0)
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${ROOT}
     ${ROOT}/src/*.h ${ROOT}/src/*.cpp ${ROOT}/tools/*.h ${ROOT}/tools/*.cpp)
list(SORT files)
foreach(file ${files})
  math(EXPR files_read "${files_read} + 1")
  get_filename_component(here ${ROOT}/${file} DIRECTORY)
  if(file MATCHES "^src/(.*)$")
    set(in_tools FALSE)
    layer_of(${CMAKE_MATCH_1} from)
    if(from STREQUAL "")
      list(APPEND faults "${file}: its folder belongs to no subsystem in src/CMakeLists.txt")
      continue()
    endif()
  else()
    set(in_tools TRUE)
    set(from tools)
  endif()
  if(NOT in_tools)
    # Class definitions (the name followed by `final`, a base list, a body or
    # the line's end) and forward declarations.
    file(STRINGS ${ROOT}/${file} classes REGEX "^[ \t]*(class|struct)[ \t]+[A-Za-z_]")
    foreach(line ${classes})
      if(line MATCHES "^[ \t]*(class|struct)[ \t]+([A-Za-z_][A-Za-z0-9_]*)[ \t]*;")
        list(APPEND declarations "${file}|${from}|${CMAKE_MATCH_2}")
      elseif(line MATCHES "^[ \t]*(class|struct)[ \t]+([A-Za-z_][A-Za-z0-9_]*)[ \t]*(final)?[ \t]*(:[^:]|{|$)")
        list(APPEND defined_${CMAKE_MATCH_2} ${from})
        set(definer_${CMAKE_MATCH_2}_${from} ${file})
      endif()
    endforeach()
  endif()
  file(STRINGS ${ROOT}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line ${lines})
    if(NOT line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
      continue()
    endif()
    set(inc ${CMAKE_MATCH_1})
    math(EXPR includes_read "${includes_read} + 1")
    # Where the compiler would find it: beside the file, then the include roots.
    set(target "")
    foreach(base ${here} ${ROOT}/src)
      if(EXISTS ${base}/${inc} AND NOT IS_DIRECTORY ${base}/${inc})
        set(target ${base}/${inc})
        break()
      endif()
    endforeach()
    if(target STREQUAL "" AND in_tools AND EXISTS ${ROOT}/tools/${inc})
      continue()
    endif()
    if(target STREQUAL "")
      list(APPEND faults "${file}: \"${inc}\" is no file beside it or under src/")
      continue()
    endif()
    cmake_path(NORMAL_PATH target)
    file(RELATIVE_PATH rel ${ROOT} ${target})
    if(in_tools AND rel MATCHES "^tools/")
      continue()
    endif()
    if(NOT rel MATCHES "^src/(.*)$")
      list(APPEND faults "${file}: \"${inc}\" leaves src/ (${rel})")
      continue()
    endif()
    if(in_tools)
      continue()
    endif()
    layer_of(${CMAKE_MATCH_1} to)
    if(to STREQUAL "")
      list(APPEND faults "${file}: \"${inc}\" is in a folder that belongs to no subsystem")
    elseif(NOT to STREQUAL from AND NOT to IN_LIST reach_${from})
      string(REPLACE ";" ", " allowed "${reach_${from}}")
      if(allowed STREQUAL "")
        set(allowed "nothing")
      endif()
      list(APPEND faults "${file}: \"${inc}\" makes ${from} include ${to}, but ${from} may include only: ${allowed}")
    endif()
  endforeach()
endforeach()

# A forward declaration is sound when its own layer or one it may include
# defines the class.
foreach(declaration ${declarations})
  string(REPLACE "|" ";" parts "${declaration}")
  list(GET parts 0 file)
  list(GET parts 1 from)
  list(GET parts 2 name)
  if(NOT DEFINED defined_${name})
    continue()
  endif()
  set(reachable FALSE)
  foreach(layer ${defined_${name}})
    if(layer STREQUAL from OR layer IN_LIST reach_${from})
      set(reachable TRUE)
      break()
    endif()
  endforeach()
  if(NOT reachable)
    list(GET defined_${name} 0 layer)
    string(REPLACE ";" ", " allowed "${reach_${from}}")
    if(allowed STREQUAL "")
      set(allowed "nothing")
    endif()
    list(APPEND faults
         "${file}: forward-declares ${name}, a class of ${layer} (${definer_${name}_${layer}}), but ${from} may include only: ${allowed}")
  endif()
endforeach()

list(LENGTH faults count)
if(count GREATER 0)
  string(REPLACE ";" "\n  " text "${faults}")
  message(FATAL_ERROR "Layering broken in ${count} place(s):\n  ${text}")
endif()
message(STATUS "Layering holds: ${includes_read} includes in ${files_read} files")
