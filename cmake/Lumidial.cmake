# Helpers shared by every folder's CMakeLists.txt.

set(LMD_WARNINGS -Wall -Wextra)

# lmd_add_library(<name> SOURCES ... [DEPENDS ...])
# Builds the static library lmd_<name>; includes are written from the repository
# root ("platform/ini.h").
function(lmd_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  if(NOT ARG_SOURCES)
    message(STATUS "lmd_${name}: no sources yet")
    return() # a folder whose first sources are still to come
  endif()
  add_library(lmd_${name} STATIC ${ARG_SOURCES})
  target_include_directories(lmd_${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(lmd_${name} PRIVATE ${LMD_WARNINGS})
  if(ARG_DEPENDS)
    target_link_libraries(lmd_${name} PUBLIC ${ARG_DEPENDS})
  endif()
endfunction()

# lmd_add_folders(<folder>...)
# Adds the listed folders of the calling directory, in order. A listed folder
# that does not exist (a misspelt name) stops the configuration; one without a
# CMakeLists.txt (no sources yet) is reported and skipped. A macro, so that the
# folders are added in the caller's scope.
macro(lmd_add_folders)
  foreach(_lmd_folder IN ITEMS ${ARGN})
    if(NOT IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${_lmd_folder})
      message(FATAL_ERROR "Listed folder ${_lmd_folder} does not exist in ${CMAKE_CURRENT_SOURCE_DIR}")
    elseif(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${_lmd_folder}/CMakeLists.txt)
      add_subdirectory(${_lmd_folder})
    else()
      message(STATUS "${_lmd_folder}: no sources yet")
    endif()
  endforeach()
endmacro()

# lmd_test_environment(<variable>)
# The environment every test program runs in, as a list of VAR=value: the
# sanitizers' options, the test display's platform plugin and the screenshot folder
# of the build in use.
function(lmd_test_environment variable)
  set(${variable}
      "LMD_SCREENS_DIR=${CMAKE_BINARY_DIR}/screens"
      "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0"
      "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
      "QT_QPA_PLATFORM=xcb" "QT_ENABLE_HIGHDPI_SCALING=0"
      PARENT_SCOPE)
endfunction()

# lmd_add_tests(<library> LABEL unit|gui|gl [OFFSCREEN] [NAME <executable>] SOURCES ... [DEPENDS ...])
# One GoogleTest executable (default name lmd_<library>_tests), its tests named
# "<library>.<Suite>.<Case>" and labelled. gui and gl executables get a main that
# makes a QApplication on the test display and keeps the GL driver loaded for
# LeakSanitizer's check at exit (platform/loaded_modules.h); unit executables keep
# GoogleTest's main. Every kind fails on a leak of our own. Tests are discovered
# when ctest runs; listing them needs no display. The tests of a gui or gl
# executable take turns on the display, unless it is OFFSCREEN: its tests map no
# window and read nothing from the screen, so they run beside any other.
function(lmd_add_tests library)
  cmake_parse_arguments(ARG "OFFSCREEN" "LABEL;NAME" "SOURCES;DEPENDS" ${ARGN})
  if(NOT ARG_NAME)
    set(ARG_NAME lmd_${library}_tests)
  endif()
  add_executable(${ARG_NAME} ${ARG_SOURCES})
  target_compile_options(${ARG_NAME} PRIVATE ${LMD_WARNINGS})
  target_include_directories(${ARG_NAME} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${ARG_NAME} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gmock)
  set(props LABELS ${ARG_LABEL})
  if(ARG_LABEL STREQUAL "unit")
    target_link_libraries(${ARG_NAME} PRIVATE GTest::gtest_main)
  else()
    target_link_libraries(${ARG_NAME} PRIVATE lmd_test_support)
    # One display, one window manager: suites that show windows take turns on it.
    if(NOT ARG_OFFSCREEN)
      list(APPEND props RESOURCE_LOCK x11display)
    endif()
  endif()
  # The discovery (--gtest_list_tests) and every discovered test start the program
  # through `cmake -E env` and tests/support/run_test, so both see the same
  # environment (run_test says why it may run a test twice).
  lmd_test_environment(env)
  set_target_properties(${ARG_NAME} PROPERTIES
    CROSSCOMPILING_EMULATOR "${CMAKE_COMMAND};-E;env;${env};${PROJECT_SOURCE_DIR}/tests/support/run_test")
  gtest_discover_tests(${ARG_NAME}
    TEST_PREFIX "${library}."
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ${props})
endfunction()

# lmd_add_test_folder(<library> [DEPENDS ...])
# The test suites of one library, found by file name in tests/<library>/ (and its
# subfolders): *_gui_test.cpp need a display (label gui), *_gl_test.cpp need OpenGL
# (label gl), every other *_test.cpp is a plain unit test (label unit). Each kind
# is one executable (lmd_<library>_tests, _gui_tests, _gl_tests); gui and gl tests
# take turns on the display. *_offscreen_gl_test.cpp need OpenGL too (label gl)
# but draw only into offscreen surfaces: no window, no reading of the screen, no
# files written beside the program for others to read; their executable
# (lmd_<library>_offscreen_gl_tests) runs its tests beside all the others.
function(lmd_add_test_folder library)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  set(dir ${CMAKE_CURRENT_SOURCE_DIR}/${library})
  file(GLOB_RECURSE all CONFIGURE_DEPENDS ${dir}/*_test.cpp)
  set(gui "")
  set(gl "")
  set(offscreen_gl "")
  set(unit "")
  foreach(src IN LISTS all)
    if(src MATCHES "_gui_test\\.cpp$")
      list(APPEND gui ${src})
    elseif(src MATCHES "_offscreen_gl_test\\.cpp$")
      list(APPEND offscreen_gl ${src})
    elseif(src MATCHES "_gl_test\\.cpp$")
      list(APPEND gl ${src})
    else()
      list(APPEND unit ${src})
    endif()
  endforeach()
  file(GLOB_RECURSE helpers CONFIGURE_DEPENDS ${dir}/*_fixture.cpp)
  if(NOT all)
    message(STATUS "tests/${library}: no tests yet")
  endif()
  if(unit)
    lmd_add_tests(${library} LABEL unit SOURCES ${unit} ${helpers} DEPENDS ${ARG_DEPENDS})
  endif()
  if(gui)
    lmd_add_tests(${library} LABEL gui NAME lmd_${library}_gui_tests SOURCES ${gui} ${helpers} DEPENDS ${ARG_DEPENDS})
  endif()
  if(gl)
    lmd_add_tests(${library} LABEL gl NAME lmd_${library}_gl_tests SOURCES ${gl} ${helpers} DEPENDS ${ARG_DEPENDS})
  endif()
  if(offscreen_gl)
    lmd_add_tests(${library} LABEL gl OFFSCREEN NAME lmd_${library}_offscreen_gl_tests
                  SOURCES ${offscreen_gl} ${helpers} DEPENDS ${ARG_DEPENDS})
  endif()
endfunction()
