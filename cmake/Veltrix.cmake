# Adds each listed folder that has a CMakeLists.txt (folders fill in as the program grows).
function(veltrix_add_dirs)
  foreach(d ${ARGN})
    if(EXISTS ${CMAKE_SOURCE_DIR}/${d}/CMakeLists.txt)
      add_subdirectory(${CMAKE_SOURCE_DIR}/${d} ${CMAKE_BINARY_DIR}/${d})
    endif()
  endforeach()
endfunction()

# veltrix_test(NAME name SOURCES ... LIBS ... [GUI])
# GUI tests run under the offscreen Qt platform; tests/common/gui_main.cpp makes the QApplication.
# Every test process has a temporary folder of its own (tests/common/TempFolder.cpp).
function(veltrix_test)
  cmake_parse_arguments(T "GUI" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES} ${CMAKE_SOURCE_DIR}/tests/common/TempFolder.cpp)
  target_include_directories(${T_NAME} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  if(T_GUI)
    target_sources(${T_NAME} PRIVATE ${CMAKE_SOURCE_DIR}/tests/common/gui_main.cpp)
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} Qt6::Widgets Qt6::Test GTest::gtest)
  else()
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest_main)
  endif()
  # A ctest entry is named as its test, without the printed parameter, so that a row keeps its
  # name from run to run for ctest -R and --rerun-failed.
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    NO_PRETTY_VALUES)
  # The environment is set after discovery: handed through discovery's PROPERTIES, a list keeps
  # only its first entry, and the sanitizers would run without their suppressions.
  set(_env "QT_QPA_PLATFORM=offscreen"
    "TSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/tsan.supp"
    "ASAN_OPTIONS=detect_leaks=1"
    "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp")
  set(_envFile ${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}_env.cmake)
  file(WRITE ${_envFile}
    "if(${T_NAME}_TESTS)\n  set_tests_properties(\${${T_NAME}_TESTS} PROPERTIES ENVIRONMENT \"${_env}\")\nendif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${_envFile})
endfunction()

# veltrix_runs_its_tests(TEST...): ctest entries that exist to run some tests again under a
# preloaded shim, on a display of their own or at another pixel ratio fail when one of those
# tests is skipped (gtest's "[  SKIPPED ]"), when their filter matches no test (a renamed one:
# "[  PASSED  ] 0 tests") or the shim did not load (the dynamic loader's "cannot be preloaded"),
# where they would pass having tested nothing. UnderWindowManager.sh's own skip, exit code 77
# where a tool it needs is missing, stays a skip: ctest looks at that code first.
function(veltrix_runs_its_tests)
  set_property(TEST ${ARGN} APPEND PROPERTY FAIL_REGULAR_EXPRESSION
    "\\[  SKIPPED \\]" "\\[  PASSED  \\] 0 tests" "cannot be preloaded")
endfunction()
