# In a unity batch one file's includes serve the files after it, so a source
# that does not include what it uses may build there and fail anywhere else.
# tm_include_check() gives every target compiled in unity batches a twin,
# <target>_includes, that compiles each of its sources alone, syntax only
# (cmake/SyntaxOnly.sh), with the target's own include paths, definitions,
# options and precompiled header. The first source of each batch sees
# nothing of another file, so the batches themselves check it: it is left
# out. Called once, at the end of the top folder's CMakeLists.txt.

# The targets of folder `dir` and of every folder below it.
function(tm_targets_below dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub ${subdirs})
    tm_targets_below(${sub} more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

function(tm_include_check)
  tm_targets_below(${PROJECT_SOURCE_DIR} targets)
  set(launcher ${PROJECT_SOURCE_DIR}/cmake/SyntaxOnly.sh)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(NOT type MATCHES "^(STATIC_LIBRARY|EXECUTABLE|MODULE_LIBRARY|SHARED_LIBRARY|OBJECT_LIBRARY)$" OR
       target MATCHES "_(pch|headers)$")
      continue()
    endif()
    get_target_property(unity ${target} UNITY_BUILD)
    get_target_property(batch ${target} UNITY_BUILD_BATCH_SIZE)
    if(NOT unity OR batch EQUAL 1)
      continue()
    endif()
    get_target_property(sources ${target} SOURCES)
    get_target_property(source_dir ${target} SOURCE_DIR)
    # CMake batches the C++ sources in the order given, `batch` at a time
    # (0: all in one).
    set(checked "")
    set(index 0)
    foreach(s ${sources})
      if(NOT s MATCHES "\\.(cpp|cc|cxx)$")
        continue()
      endif()
      if(NOT IS_ABSOLUTE ${s})
        set(s ${source_dir}/${s})
      endif()
      if(batch GREATER 0)
        math(EXPR position "${index} % ${batch}")
      else()
        set(position ${index})
      endif()
      if(NOT position EQUAL 0)
        list(APPEND checked ${s})
      endif()
      math(EXPR index "${index} + 1")
    endforeach()
    if(NOT checked)
      continue()
    endif()
    add_library(${target}_includes OBJECT ${checked})
    set_target_properties(${target}_includes PROPERTIES UNITY_BUILD OFF CXX_COMPILER_LAUNCHER ${launcher})
    target_include_directories(${target}_includes PRIVATE $<TARGET_PROPERTY:${target},INCLUDE_DIRECTORIES>)
    target_compile_definitions(${target}_includes PRIVATE $<TARGET_PROPERTY:${target},COMPILE_DEFINITIONS>)
    target_compile_options(${target}_includes PRIVATE $<TARGET_PROPERTY:${target},COMPILE_OPTIONS>)
    get_target_property(pch ${target} PRECOMPILE_HEADERS_REUSE_FROM)
    if(pch)
      set_target_properties(${target}_includes PROPERTIES PRECOMPILE_HEADERS_REUSE_FROM ${pch})
      add_dependencies(${target}_includes ${pch})
    endif()
  endforeach()
endfunction()
