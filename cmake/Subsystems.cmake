# One static library per subsystem folder. A folder's library exists once the
# folder holds a .cpp file (header-only folders become interface libraries), so
# adding a source file never needs a change here. Dependencies point one way, in
# the order of declaration: a subsystem may only name subsystems declared
# before it, and a name that is not a declared subsystem stops the configure
# (a typo would otherwise drop a link without a word).
#
# A declared subsystem whose folders hold nothing yet has no library; a library
# that names it links that subsystem's own dependencies in its place, so the
# chain of layers stays whole while the middle of it is still empty.
#
# Every declaration is also recorded for the layering check (see
# tm_write_layers and cmake/CheckLayers.cmake): which folders belong to which
# subsystem and which subsystems it stands on.
set(TM_ALL_LIBS "")
set_property(GLOBAL PROPERTY TM_SUBSYSTEMS "")

# The libraries standing for subsystem `name`: its own, or, while it has none,
# those its dependencies stand for.
function(tm_subsystem_links name out)
  if(TARGET tm_${name})
    set(${out} tm_${name} PARENT_SCOPE)
  else()
    get_property(links GLOBAL PROPERTY TM_SUBSYSTEM_${name}_LINKS)
    set(${out} ${links} PARENT_SCOPE)
  endif()
endfunction()

# Records layer `name`: the folders under src/ that belong to it and the
# layers it stands on, each of which must be declared before it. Its sources
# may include the layers it names and everything below those, or, with
# DIRECT, only the layers it names.
function(tm_layer name)
  cmake_parse_arguments(ARG "DIRECT" "" "DIRS;DEPS" ${ARGN})
  get_property(declared GLOBAL PROPERTY TM_SUBSYSTEMS)
  if(name IN_LIST declared)
    message(FATAL_ERROR "tm_layer(${name}): declared twice")
  endif()
  foreach(d ${ARG_DEPS})
    if(NOT d IN_LIST declared)
      message(FATAL_ERROR "tm_layer(${name}): '${d}' is not a subsystem declared before it")
    endif()
  endforeach()
  set_property(GLOBAL APPEND PROPERTY TM_SUBSYSTEMS ${name})
  set_property(GLOBAL PROPERTY TM_SUBSYSTEM_${name}_DIRS ${ARG_DIRS})
  set_property(GLOBAL PROPERTY TM_SUBSYSTEM_${name}_DEPS ${ARG_DEPS})
  set_property(GLOBAL PROPERTY TM_SUBSYSTEM_${name}_DIRECT ${ARG_DIRECT})
endfunction()

# tm_subsystem(name folder [EXTRA_DIRS folder...] [DEPS subsystem...] [DIRECT]
#              [PUBLIC_LIBS lib...]): the library of src/<folder> and the extra
# folders, linked with the subsystems it stands on (see tm_layer for DIRECT).
function(tm_subsystem name folder)
  cmake_parse_arguments(ARG "DIRECT" "" "DEPS;EXTRA_DIRS;PUBLIC_LIBS" ${ARGN})
  set(dirs ${folder} ${ARG_EXTRA_DIRS})
  set(direct "")
  if(ARG_DIRECT)
    set(direct DIRECT)
  endif()
  tm_layer(${name} DIRS ${dirs} DEPS ${ARG_DEPS} ${direct})
  set(sources "")
  set(headers "")
  foreach(d ${dirs})
    file(GLOB s CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${d}/*.cpp)
    file(GLOB h CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${d}/*.h)
    list(APPEND sources ${s})
    list(APPEND headers ${h})
  endforeach()
  set(deps "")
  foreach(d ${ARG_DEPS})
    tm_subsystem_links(${d} links)
    list(APPEND deps ${links})
  endforeach()
  list(REMOVE_DUPLICATES deps)
  set_property(GLOBAL PROPERTY TM_SUBSYSTEM_${name}_LINKS ${deps})

  if(sources)
    add_library(tm_${name} STATIC ${sources} ${headers})
    target_include_directories(tm_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(tm_${name} PUBLIC ${deps} ${ARG_PUBLIC_LIBS})
    tm_strict(tm_${name})
  elseif(headers)
    add_library(tm_${name} INTERFACE)
    target_include_directories(tm_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(tm_${name} INTERFACE ${deps} ${ARG_PUBLIC_LIBS})
  else()
    return()
  endif()
  tm_header_check(tm_${name} ${headers})
  set(TM_ALL_LIBS ${TM_ALL_LIBS} tm_${name} PARENT_SCOPE)
endfunction()

# With TM_HEADER_CHECK on, tm_header_check(library header...) compiles each
# header alone (a file of its own that includes only it, with the library's
# flags and include paths): a header that does not include what it uses
# fails, as it would in a file-by-file build, while the library itself may
# compile in unity batches, where one file's includes serve the next.
option(TM_HEADER_CHECK "Compile every header of src/ on its own" OFF)
function(tm_header_check library)
  if(NOT TM_HEADER_CHECK OR ARGC LESS 2)
    return()
  endif()
  set(sources "")
  foreach(header ${ARGN})
    file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR}/src ${header})
    string(REGEX REPLACE "\\.h$" ".cpp" source ${PROJECT_BINARY_DIR}/header-check/${rel})
    file(CONFIGURE OUTPUT ${source} CONTENT "#include \"${rel}\"\n")
    list(APPEND sources ${source})
  endforeach()
  # The library's include paths and definitions (its dependencies' too)
  # without a link to it, so the check waits for no library's build.
  add_library(${library}_headers OBJECT ${sources})
  target_include_directories(${library}_headers PRIVATE $<TARGET_PROPERTY:${library},INCLUDE_DIRECTORIES>)
  target_compile_definitions(${library}_headers PRIVATE $<TARGET_PROPERTY:${library},COMPILE_DEFINITIONS>)
  set_target_properties(${library}_headers PROPERTIES UNITY_BUILD OFF)
  tm_strict(${library}_headers)
endfunction()

# Writes the declared layers to `file` as a CMake script the layering check
# includes: TM_LAYERS (names in order of declaration) and, per layer,
# TM_LAYER_<name>_DIRS (folders under src/), TM_LAYER_<name>_DEPS (the layers
# it names) and TM_LAYER_<name>_DIRECT (true when only those may be included).
function(tm_write_layers file)
  get_property(names GLOBAL PROPERTY TM_SUBSYSTEMS)
  set(text "# Written by tm_write_layers at configure time.\nset(TM_LAYERS ${names})\n")
  foreach(n ${names})
    get_property(dirs GLOBAL PROPERTY TM_SUBSYSTEM_${n}_DIRS)
    get_property(deps GLOBAL PROPERTY TM_SUBSYSTEM_${n}_DEPS)
    get_property(direct GLOBAL PROPERTY TM_SUBSYSTEM_${n}_DIRECT)
    string(APPEND text "set(TM_LAYER_${n}_DIRS ${dirs})\nset(TM_LAYER_${n}_DEPS ${deps})\n"
           "set(TM_LAYER_${n}_DIRECT ${direct})\n")
  endforeach()
  file(WRITE ${file} "${text}")
endfunction()
