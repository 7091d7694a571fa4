# Libraries of the system that are loaded on their first call instead of with the program.
#
# Windows maps its known DLLs from the system folder whatever lies beside a program, but takes any other library
# that a program imports from the program's own folder first, before the program's first line can restrict the
# search: a file of that name beside the program (in a downloads folder) would run inside it. The programs import
# such libraries through delay-import libraries instead, which load the library when one of its functions is
# first called, from the system folder only (foundation/LibrarySearch.cpp).
#
# korvilane_delay_load(<name>...) makes the imported target delayed::<name> for each MinGW import library
# lib<name>.a: every function that the import library offers, from the library it names, loaded late.

set(KORVILANE_TAIL_MERGE_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/delayTailMerge.S.in)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${KORVILANE_TAIL_MERGE_TEMPLATE})

function(korvilane_delay_load)
  foreach(name ${ARGN})
    set(library ${CMAKE_BINARY_DIR}/delayload/${name}/lib${name}_delayed.a)
    if(NOT EXISTS ${library} OR ${KORVILANE_TAIL_MERGE_TEMPLATE} IS_NEWER_THAN ${library}
       OR ${CMAKE_CURRENT_FUNCTION_LIST_FILE} IS_NEWER_THAN ${library})
      korvilane_make_delay_library(${name} ${library})
    endif()
    add_library(delayed::${name} STATIC IMPORTED GLOBAL)
    set_target_properties(delayed::${name} PROPERTIES IMPORTED_LOCATION ${library})
  endforeach()
endfunction()

function(korvilane_make_delay_library name library)
  find_library(KORVILANE_IMPORT_${name} NAMES lib${name}.a REQUIRED)
  set(import ${KORVILANE_IMPORT_${name}})
  get_filename_component(folder ${library} DIRECTORY)
  get_filename_component(library_name ${library} NAME)
  file(REMOVE_RECURSE ${folder})
  file(MAKE_DIRECTORY ${folder})

  # The library's file name and functions, as the import library has them.
  korvilane_tool_output(dll ${CMAKE_DLLTOOL} --identify ${import})
  korvilane_tool_output(symbols ${CMAKE_NM} -A --defined-only ${import})
  string(REGEX MATCHALL " I __imp_[^\n]+" functions "${symbols}")
  list(TRANSFORM functions REPLACE "^ I __imp_" "")
  list(JOIN functions "\n" exports)
  file(WRITE ${folder}/${name}.def "LIBRARY \"${dll}\"\nEXPORTS\n${exports}\n")
  # dlltool names its symbols after the output's name as given: a bare file name keeps them short.
  korvilane_tool_output(ignored ${CMAKE_DLLTOOL} --input-def ${name}.def --output-delaylib ${library_name})

  # Members of the import library that import nothing (the GUIDs of GDI+'s formats and encoder parameters)
  # come along as they are.
  korvilane_tool_output(members ${CMAKE_AR} t ${import})
  string(REPLACE "\n" ";" members "${members}")
  string(REGEX MATCHALL "[^:\n]+:[0-9a-f]+ [Ii] " importing "${symbols}")
  list(TRANSFORM importing REPLACE ":[0-9a-f]+ [Ii] $" "")
  list(REMOVE_ITEM members ${importing})
  if(members)
    korvilane_tool_output(ignored ${CMAKE_AR} x ${import} ${members})
    korvilane_tool_output(ignored ${CMAKE_AR} rs ${library_name} ${members})
  endif()

  # Its first-call code keeps only the integer arguments: the member that holds it keeps it to itself, and a
  # member of this folder's making takes its place.
  korvilane_tool_output(delayed_symbols ${CMAKE_NM} -A --defined-only ${library_name})
  if(NOT delayed_symbols MATCHES ":([^:\n]+):[0-9a-f]+ T __tailMerge_([A-Za-z0-9_]+)")
    message(FATAL_ERROR "${library}: dlltool made no first-call code")
  endif()
  set(head ${CMAKE_MATCH_1})
  set(TAG ${CMAKE_MATCH_2})
  set(DLL ${dll})
  configure_file(${KORVILANE_TAIL_MERGE_TEMPLATE} ${folder}/tailMerge.S @ONLY)
  korvilane_tool_output(ignored ${CMAKE_AR} x ${library_name} ${head})
  korvilane_tool_output(ignored ${CMAKE_OBJCOPY} --localize-symbol=__tailMerge_${TAG} ${head})
  korvilane_tool_output(ignored ${CMAKE_C_COMPILER} -c tailMerge.S -o tailMerge.o)
  korvilane_tool_output(ignored ${CMAKE_AR} rs ${library_name} ${head} tailMerge.o)
endfunction()

# Runs a tool in the current delay library's folder; its output goes into the variable, a failure stops the
# configuration.
macro(korvilane_tool_output variable)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${folder} OUTPUT_VARIABLE ${variable}
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
endmacro()
