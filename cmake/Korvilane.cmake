# Build helpers shared by the subsystem folders and the tests.

# One static library per subsystem folder, made of every source in it.
#   LEND <target> <files...>  sources of this folder that a lower subsystem calls (the few services it needs
#                             of a higher one) are compiled into that lower library, so that libraries only
#                             ever link downwards. May be given more than once.
#   OUTSIDE <sub-folders...>  sub-folders whose sources another target builds (a program's entry point).
# Sources in any other sub-folder stop the configuration: the library would silently leave them out.
function(korvilane_add_library name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  set(mode "")
  set(lent_to "")
  set(outside "")
  foreach(arg ${ARGN})
    if(arg STREQUAL "LEND" OR arg STREQUAL "OUTSIDE")
      set(mode ${arg})
      set(lent_to "")
    elseif(mode STREQUAL "OUTSIDE")
      list(APPEND outside ${arg})
    elseif(mode STREQUAL "LEND" AND lent_to STREQUAL "")
      set(lent_to ${arg})
    elseif(mode STREQUAL "LEND")
      set(file ${CMAKE_CURRENT_SOURCE_DIR}/${arg})
      list(REMOVE_ITEM sources ${file})
      if(EXISTS ${file})
        target_sources(${lent_to} PRIVATE ${file})
      endif()
    else()
      message(FATAL_ERROR "korvilane_add_library(${name}): ${arg} is neither LEND nor OUTSIDE")
    endif()
  endforeach()
  korvilane_refuse_nested_sources("${outside}")
  if(NOT sources)
    # Still a real library: a higher folder may lend it sources before this one has any of its own.
    set(placeholder ${CMAKE_CURRENT_BINARY_DIR}/${name}_placeholder.cpp)
    if(NOT EXISTS ${placeholder})
      file(WRITE ${placeholder} "// No sources of its own yet.\n")
    endif()
    set(sources ${placeholder})
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

function(korvilane_refuse_nested_sources outside)
  file(GLOB_RECURSE nested CONFIGURE_DEPENDS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
       ${CMAKE_CURRENT_SOURCE_DIR}/*/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*/*.h)
  foreach(file ${nested})
    string(REGEX REPLACE "/.*$" "" top ${file})
    if(NOT top IN_LIST outside)
      message(FATAL_ERROR "${CMAKE_CURRENT_SOURCE_DIR}/${file}: a subsystem library is made of the sources "
                          "directly in its folder; move it up, or name ${top} OUTSIDE if another target builds it")
    endif()
  endforeach()
endfunction()

# Links a subsystem library to the libraries below it.
function(korvilane_link name)
  target_link_libraries(${name} PUBLIC ${ARGN})
endfunction()

# The template Wine prefix of this build folder; every test and scripts/run.sh use it (or a copy).
set(KORVILANE_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(KORVILANE_WINE_RUN ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh)
set(CMAKE_CROSSCOMPILING_EMULATOR ${KORVILANE_WINE_RUN} ${KORVILANE_WINEPREFIX})
add_custom_command(
  OUTPUT ${KORVILANE_WINEPREFIX}/.korvilane-ready
  COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-prefix.sh ${KORVILANE_WINEPREFIX}
  DEPENDS ${PROJECT_SOURCE_DIR}/scripts/wine-prefix.sh
  COMMENT "Preparing the Wine prefix for tests"
  VERBATIM)
add_custom_target(wineprefix ALL DEPENDS ${KORVILANE_WINEPREFIX}/.korvilane-ready)

# The GoogleTest program of one tests/<subsystem> folder: every source in it, the program's string table
# (tests/test_resources.rc) and <folder>_tests.rc when present. CTest runs it through Wine as one entry, or
# split into SHARDS entries. Shared helpers lie in tests/support/, included as "support/...".
#   DISPLAY        the program opens windows: it runs under an X server, with the window-test harness, in a
#                  throwaway copy of the prefix (a prefix's desktop process keeps the screen of the program that
#                  started it, so windows fail when a test without a display got there first)
#   FRESH_PREFIX   the program changes the prefix (registry, files): it runs in a throwaway copy
#   PROGRAM        the tests start the real korvilane.exe (tests/support/ProgramCopy.h): it is built first, and
#                  the tests find it relative to themselves
function(korvilane_add_test_program name)
  cmake_parse_arguments(T "DISPLAY;FRESH_PREFIX;PROGRAM" "SHARDS;TIMEOUT" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  if(NOT T_SHARDS)
    set(T_SHARDS 1)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set(resources ${PROJECT_SOURCE_DIR}/tests/test_resources.rc)
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${name}.rc)
    list(APPEND resources ${CMAKE_CURRENT_SOURCE_DIR}/${name}.rc)
  endif()
  add_executable(${name} ${sources} ${resources} ${PROJECT_SOURCE_DIR}/tests/testmain.cpp)
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  add_dependencies(${name} wineprefix)
  if(T_PROGRAM)
    # The path is given with forward slashes.
    add_dependencies(${name} korvilane)
    get_target_property(program_folder korvilane BINARY_DIR)
    file(RELATIVE_PATH program_relative ${CMAKE_CURRENT_BINARY_DIR} ${program_folder}/korvilane.exe)
    target_compile_definitions(${name} PRIVATE "KORVILANE_PROGRAM_RELATIVE=L\"${program_relative}\"")
  endif()
  set(env "")
  if(T_DISPLAY)
    list(APPEND env KORVILANE_NEEDS_DISPLAY=1)
    target_link_libraries(${name} PRIVATE window_test_harness)
  endif()
  if(T_FRESH_PREFIX OR T_DISPLAY)
    list(APPEND env KORVILANE_FRESH_PREFIX=1)
  endif()
  math(EXPR last "${T_SHARDS} - 1")
  foreach(shard RANGE ${last})
    set(test_name ${name})
    set(shard_env ${env})
    if(T_SHARDS GREATER 1)
      set(test_name ${name}_${shard})
      list(APPEND shard_env GTEST_TOTAL_SHARDS=${T_SHARDS} GTEST_SHARD_INDEX=${shard})
    endif()
    add_test(NAME ${test_name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    set_tests_properties(${test_name} PROPERTIES TIMEOUT ${T_TIMEOUT})
    if(shard_env)
      set_tests_properties(${test_name} PROPERTIES ENVIRONMENT "${shard_env}")
    endif()
  endforeach()
endfunction()
