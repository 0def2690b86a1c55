# Helpers shared by every folder's CMakeLists.txt.

set(LMD_WARNINGS -Wall -Wextra)

# lmd_add_library(<name> SOURCES ... [DEPENDS ...])
# Builds the static library lmd_<name>; includes are written from the repository
# root ("platform/ini.h").
function(lmd_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  if(NOT ARG_SOURCES)
    return() # a folder whose first sources are still to come
  endif()
  add_library(lmd_${name} STATIC ${ARG_SOURCES})
  target_include_directories(lmd_${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(lmd_${name} PRIVATE ${LMD_WARNINGS})
  if(ARG_DEPENDS)
    target_link_libraries(lmd_${name} PUBLIC ${ARG_DEPENDS})
  endif()
endfunction()

# lmd_add_tests(<library> LABEL unit|gui|gl [NAME <executable>] SOURCES ... [DEPENDS ...])
# One GoogleTest executable (default name lmd_<library>_tests), its tests named
# "<library>.<Suite>.<Case>" and labelled. gui and gl executables get a main that
# makes a QApplication on the test display; they are discovered when ctest runs,
# under that display.
function(lmd_add_tests library)
  cmake_parse_arguments(ARG "" "LABEL;NAME" "SOURCES;DEPENDS" ${ARGN})
  if(NOT ARG_NAME)
    set(ARG_NAME lmd_${library}_tests)
  endif()
  add_executable(${ARG_NAME} ${ARG_SOURCES})
  target_compile_options(${ARG_NAME} PRIVATE ${LMD_WARNINGS})
  target_include_directories(${ARG_NAME} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${ARG_NAME} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gmock)
  set(env "LMD_SCREENS_DIR=${PROJECT_SOURCE_DIR}/build/screens"
          "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0"
          "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
          "QT_QPA_PLATFORM=xcb" "QT_ENABLE_HIGHDPI_SCALING=0")
  set(props LABELS ${ARG_LABEL})
  if(ARG_LABEL STREQUAL "unit")
    target_link_libraries(${ARG_NAME} PRIVATE GTest::gtest_main)
  else()
    target_link_libraries(${ARG_NAME} PRIVATE lmd_test_support)
    if(ARG_LABEL STREQUAL "gl")
      # Mesa's driver is unloaded at exit: its few leaked blocks carry no symbols.
      list(APPEND env "ASAN_OPTIONS=detect_leaks=0")
    endif()
    # One display, one window manager: GUI suites take turns on it.
    list(APPEND props RESOURCE_LOCK x11display)
  endif()
  gtest_discover_tests(${ARG_NAME}
    TEST_PREFIX "${library}."
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ${props})
  # gtest_discover_tests hands property values on as plain words, so a list value
  # such as ENVIRONMENT would keep only its first variable: set it on the
  # discovered tests from a file that ctest reads after the discovery (a quoted
  # argument there keeps the list whole).
  set(env_file ${CMAKE_CURRENT_BINARY_DIR}/${ARG_NAME}_environment.cmake)
  file(WRITE ${env_file}
    "foreach(test IN LISTS ${ARG_NAME}_TESTS)\n"
    "  set_tests_properties(\"\${test}\" PROPERTIES ENVIRONMENT \"${env}\")\n"
    "endforeach()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${env_file})
endfunction()

# lmd_add_test_folder(<library> [DEPENDS ...])
# The test suites of one library, found by file name in tests/<library>/ (and its
# subfolders): *_gui_test.cpp need a display (label gui), *_gl_test.cpp need OpenGL
# (label gl), every other *_test.cpp is a plain unit test (label unit).
function(lmd_add_test_folder library)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  set(dir ${CMAKE_CURRENT_SOURCE_DIR}/${library})
  file(GLOB_RECURSE all CONFIGURE_DEPENDS ${dir}/*_test.cpp)
  set(gui "")
  set(gl "")
  set(unit "")
  foreach(src IN LISTS all)
    if(src MATCHES "_gui_test\\.cpp$")
      list(APPEND gui ${src})
    elseif(src MATCHES "_gl_test\\.cpp$")
      list(APPEND gl ${src})
    else()
      list(APPEND unit ${src})
    endif()
  endforeach()
  file(GLOB_RECURSE helpers CONFIGURE_DEPENDS ${dir}/*_fixture.cpp)
  if(unit)
    lmd_add_tests(${library} LABEL unit SOURCES ${unit} ${helpers} DEPENDS ${ARG_DEPENDS})
  endif()
  if(gui)
    lmd_add_tests(${library} LABEL gui NAME lmd_${library}_gui_tests SOURCES ${gui} ${helpers} DEPENDS ${ARG_DEPENDS})
  endif()
  if(gl)
    lmd_add_tests(${library} LABEL gl NAME lmd_${library}_gl_tests SOURCES ${gl} ${helpers} DEPENDS ${ARG_DEPENDS})
  endif()
endfunction()
