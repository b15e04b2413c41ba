# The mutable-globals check: every mutable global object of the game's
# libraries must be named, with the reason it is one, in an allow-list.
#
#   cmake -DNM=<nm> -DLIBRARIES=<file> -DALLOW=<list> [-DPRINT=<out>] -P CheckGlobals.cmake
#
# LIBRARIES is a file naming one static library per line (the build writes
# <build>/mutable-globals-libraries.txt). Each is read with
# `nm -C --defined-only -f sysv`, whose section column tells writable data from
# constant data that only holds relocations (a `d` symbol in .data.rel.ro).
# A symbol is a mutable global when it is an object (nm class b, B, d, D, C,
# or the weak/unique u, V, v) in a writable section (.data, .bss, their TLS
# twins .tdata/.tbss, and their per-symbol subsections, but not .data.rel.ro):
# namespace-scope and static member variables and the objects of function-local
# statics. A guard variable or a reference temporary counts as the object it
# belongs to. Left out: constant data, vtables and typeinfo, and what the
# compiler makes ("__" names of the sanitizers, coverage and runtime, ".L" and
# other "." locals such as string literals, "DW.ref." personality pointers).
#
# ALLOW is the list (tests/structure/MutableGlobals.txt): a `[tm_<library>]`
# line opens a library's entries; each entry is one demangled name followed by
# ` # ` and the one-line reason it must be a process global; lines starting
# with # are comments. A global of a checked library that the list does not
# name fails the check, listed with its library; so does an entry without a
# reason. An entry whose global is gone is reported, not failed: optimisation
# drops some globals from one build type and not another.
#
# With PRINT the check writes, instead of checking, the list as it should be
# for the libraries as built: the file's leading comment block, then every
# current global under its library, keeping the reasons already written (a new
# one gets an empty reason, to be filled in before the list is used).
cmake_minimum_required(VERSION 3.25)

if(NOT NM OR NOT LIBRARIES OR NOT ALLOW)
  message(FATAL_ERROR "usage: cmake -DNM=<nm> -DLIBRARIES=<file> -DALLOW=<list> [-DPRINT=<out>] -P CheckGlobals.cmake")
endif()

# The globals of every library: lib_<name> holds the sorted names of library
# <name>, libs the library names in the order given.
file(STRINGS ${LIBRARIES} paths)
set(libs "")
set(symbols_read 0)
foreach(path ${paths})
  if(NOT EXISTS ${path})
    message(FATAL_ERROR "${path} does not exist: build the libraries first")
  endif()
  get_filename_component(lib ${path} NAME_WE)
  string(REGEX REPLACE "^lib" "" lib ${lib})
  list(APPEND libs ${lib})
  # Beside the working folder, named apart for a check and a print run at once.
  if(PRINT)
    set(out ${CMAKE_CURRENT_BINARY_DIR}/${lib}.print.nm.txt)
  else()
    set(out ${CMAKE_CURRENT_BINARY_DIR}/${lib}.check.nm.txt)
  endif()
  execute_process(COMMAND ${NM} -C --defined-only -f sysv ${path}
                  OUTPUT_FILE ${out} RESULT_VARIABLE result ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${NM} failed on ${path}:\n${err}")
  endif()
  # Name | value | class | type | size | line | section; a name may itself
  # hold a '|' (operator|), so the fields are taken from the end of the line.
  file(STRINGS ${out} lines REGEX "\\|[ \t]*[bBdDCuVv][ \t]*\\|")
  file(REMOVE ${out})
  set(found "")
  foreach(line ${lines})
    if(NOT line MATCHES "^(.*[^ \t])[ \t]*\\|[^|]*\\|[ \t]*([bBdDCuVv])[ \t]*\\|[^|]*\\|[^|]*\\|[^|]*\\|[ \t]*([^ \t|]*)[ \t]*$")
      continue()
    endif()
    set(name "${CMAKE_MATCH_1}")
    set(class ${CMAKE_MATCH_2})
    set(section "${CMAKE_MATCH_3}")
    math(EXPR symbols_read "${symbols_read} + 1")
    if(NOT class STREQUAL "C")
      if(NOT section MATCHES "^\\.[ls]?(t?data|t?bss)(\\.|$)" OR section MATCHES "^\\.data\\.rel\\.ro(\\.|$)")
        continue()
      endif()
    endif()
    if(name MATCHES "^(\\.|__|DW\\.ref\\.|_GLOBAL__)"
       OR name MATCHES "^(vtable|typeinfo|typeinfo name|VTT|construction vtable) for ")
      continue()
    endif()
    if(name MATCHES "^(guard variable|reference temporary #[0-9]+) for (.+)$")
      set(name "${CMAKE_MATCH_2}")
    endif()
    list(APPEND found "${name}")
  endforeach()
  list(REMOVE_DUPLICATES found)
  list(SORT found)
  set(lib_${lib} "${found}")
endforeach()

# The allow-list: allowed_<lib> its names, why_<lib>_<index> their reasons.
set(faults "")
set(unreasoned "")
set(header "")
set(in_header TRUE)
set(current "")
set(sections "")
file(STRINGS ${ALLOW} list_lines)
foreach(line ${list_lines})
  string(REPLACE "\t" " " line "${line}")
  string(STRIP "${line}" line)
  if(line MATCHES "^#" OR line STREQUAL "")
    if(in_header)
      string(APPEND header "${line}\n")
    endif()
    continue()
  endif()
  set(in_header FALSE)
  if(line MATCHES "^\\[([A-Za-z0-9_]+)\\]$")
    set(current ${CMAKE_MATCH_1})
    list(APPEND sections ${current})
    continue()
  endif()
  if(current STREQUAL "")
    message(FATAL_ERROR "${ALLOW}: \"${line}\" stands before any [library] line")
    continue()
  endif()
  # The reason starts at the first " #": a demangled name has '#' only right
  # after a brace or parenthesis ({lambda()#1}).
  string(FIND "${line}" " #" at)
  set(why "")
  if(at EQUAL -1)
    set(name "${line}")
  else()
    string(SUBSTRING "${line}" 0 ${at} name)
    math(EXPR at "${at} + 2")
    string(SUBSTRING "${line}" ${at} -1 why)
    string(STRIP "${why}" why)
    string(STRIP "${name}" name)
  endif()
  if(why STREQUAL "" AND NOT PRINT)
    list(APPEND unreasoned "${current}: ${name}")
  endif()
  list(LENGTH allowed_${current} index)
  list(APPEND allowed_${current} "${name}")
  set(why_${current}_${index} "${why}")
endforeach()

if(PRINT)
  set(text "${header}")
  set(total 0)
  foreach(lib ${libs})
    string(APPEND text "\n[${lib}]\n")
    foreach(name ${lib_${lib}})
      list(FIND allowed_${lib} "${name}" index)
      set(why "")
      if(NOT index EQUAL -1)
        set(why "${why_${lib}_${index}}")
      endif()
      string(APPEND text "${name} # ${why}\n")
      math(EXPR total "${total} + 1")
    endforeach()
  endforeach()
  # A library this build does not make (SDL2's, without SDL2) keeps its
  # entries as they stand, so the list stays whole for the builds that do.
  list(REMOVE_DUPLICATES sections)
  foreach(lib ${sections})
    list(FIND libs ${lib} built)
    if(built EQUAL -1)
      string(APPEND text "\n[${lib}]\n")
      list(LENGTH allowed_${lib} count)
      math(EXPR total "${total} + ${count}")
      if(count GREATER 0)
        math(EXPR last "${count} - 1")
        foreach(index RANGE ${last})
          list(GET allowed_${lib} ${index} name)
          string(APPEND text "${name} # ${why_${lib}_${index}}\n")
        endforeach()
      endif()
    endif()
  endforeach()
  file(WRITE ${PRINT} "${text}")
  message(STATUS "${total} mutable globals written to ${PRINT}")
  return()
endif()

# Appends to list `out` "<lib>: <name>" for each name of list `names` that
# list `among` lacks.
function(absent lib names among out)
  set(result ${${out}})
  foreach(name ${${names}})
    list(FIND ${among} "${name}" index)
    if(index EQUAL -1)
      list(APPEND result "${lib}: ${name}")
    endif()
  endforeach()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

# The entries of list `var` one a line after "<count> <heading>:", or nothing
# when it is empty.
function(listing var heading out)
  set(text "")
  list(LENGTH ${var} count)
  if(count GREATER 0)
    string(REPLACE ";" "\n  " entries "${${var}}")
    set(text "${count} ${heading}:\n  ${entries}\n")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

set(total 0)
set(gone "")
foreach(lib ${libs})
  list(LENGTH lib_${lib} count)
  math(EXPR total "${total} + ${count}")
  message(STATUS "${lib}: ${count} mutable globals")
  absent(${lib} lib_${lib} allowed_${lib} faults)
  absent(${lib} allowed_${lib} lib_${lib} gone)
endforeach()

listing(gone "listed global(s) not defined in this build (gone, or optimised away here)" text)
if(NOT text STREQUAL "")
  message(STATUS "${text}")
endif()
listing(faults "mutable global(s) not in ${ALLOW}" text)
if(NOT text STREQUAL "")
  string(APPEND text "Pass what such a global holds to its users (a services struct, a parameter) or, if it must be "
                     "a process global, list it with the reason (CONTRIBUTING.md, \"Installing a seam\").\n")
endif()
listing(unreasoned "entr(ies) of ${ALLOW} without the reason the global must be a process global" reasons)
string(APPEND text "${reasons}")
if(NOT text STREQUAL "")
  message(FATAL_ERROR "${text}")
endif()
list(LENGTH libs count)
message(STATUS "Mutable globals all listed: ${total} among ${symbols_read} data symbols of ${count} libraries")
