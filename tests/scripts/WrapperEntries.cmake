# cmake -DBUILD=DIR -DCTEST=CTEST [-DSANITIZED=1] -P WrapperEntries.cmake: every ctest entry of
# DIR that runs its tests again under a preloaded shim, under UnderWindowManager.sh or with a
# filter of several patterns fails when those tests are skipped, none runs or the shim does not
# load; each pattern of its filter names a test; and one under UnderWindowManager.sh fails at once
# when a pattern names none, and stays skipped (77) where a tool it needs is missing. Its
# expressions are tried on the lines they must and must not match, and its reading of filters on
# filters that gtest accepts.
cmake_minimum_required(VERSION 3.20)
# The entries' commands and environments, listed quickly; the JSON listing of all of them is too
# large for CMake to read in good time, so only the wrapping entries are read from it.
execute_process(COMMAND ${CTEST} -N -V WORKING_DIRECTORY ${BUILD} OUTPUT_VARIABLE listing
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "ctest could not list the tests of ${BUILD}")
endif()
string(REGEX MATCHALL
       "[0-9]+: (Test command: [^\n]*(UnderWindowManager\\.sh|--gtest_filter=[^ \n]*:)| LD_PRELOAD=)"
       wrapping "${listing}")
list(TRANSFORM wrapping REPLACE ":.*" "")
list(REMOVE_DUPLICATES wrapping)
set(must_fail "[  SKIPPED ] 1 test, listed below:" "[  PASSED  ] 0 tests."
  "ERROR: ld.so: object '/x/shim.so' from LD_PRELOAD cannot be preloaded (cannot open shared object file): ignored.")
set(must_pass "skipped: needs Xvfb, openbox, xprop and xev; not installed: xev"
  "[  PASSED  ] 3 tests." "[  PASSED  ] 10 tests." "[  PASSED  ] 1 test."
  "[       OK ] WindowManager.ClosingTheDataEntryWindowHidesIt (30 ms)")
# The patterns of a gtest filter that name tests: those before its first '-', less the empty ones
# that "A:B:-X.*" and "A::B" hold, which gtest passes over.
function(positive_patterns out filter)
  string(REGEX REPLACE "-.*" "" positive "${filter}")
  string(REPLACE ":" ";" patterns "${positive}")
  list(FILTER patterns INCLUDE REGEX ".")
  set(${out} "${patterns}" PARENT_SCOPE)
endfunction()
# Appends the items of a JSON value to the list out: an array's each, another value itself.
function(json_items out value)
  set(items ${${out}})
  string(JSON type ERROR_VARIABLE notJson TYPE "${value}") # a string comes unquoted
  if(NOT type STREQUAL "ARRAY")
    list(APPEND items "${value}")
  else()
    string(JSON n LENGTH "${value}")
    math(EXPR n "${n} - 1")
    foreach(i RANGE ${n})
      string(JSON one GET "${value}" ${i})
      list(APPEND items "${one}")
    endforeach()
  endif()
  set(${out} "${items}" PARENT_SCOPE)
endfunction()
set(faults "")
set(checked 0)
# The patterns read from filters written as gtest accepts them ("filter|patterns").
foreach(row "A:B:-X.*|A,B" "A::B|A,B" "A.*:B/C.D|A.*,B/C.D" "-X.*|")
  string(REPLACE "|" ";" row "${row}")
  list(GET row 0 filter)
  list(GET row -1 want)
  positive_patterns(got "${filter}")
  list(JOIN got "," got)
  if(NOT got STREQUAL want)
    list(APPEND faults "the filter ${filter} reads as the patterns \"${got}\", not \"${want}\"")
  endif()
endforeach()
foreach(number IN LISTS wrapping)
  execute_process(COMMAND ${CTEST} --show-only=json-v1 -I ${number},${number}
                  WORKING_DIRECTORY ${BUILD} OUTPUT_VARIABLE json)
  string(JSON name GET "${json}" tests 0 name)
  string(JSON command GET "${json}" tests 0 command)
  set(regexes "")
  set(skipCode "")
  set(environment "")
  string(JSON nprops LENGTH "${json}" tests 0 properties) # a working folder at least
  math(EXPR lastp "${nprops} - 1")
  foreach(p RANGE ${lastp})
    string(JSON pname GET "${json}" tests 0 properties ${p} name)
    string(JSON value GET "${json}" tests 0 properties ${p} value)
    if(pname STREQUAL "FAIL_REGULAR_EXPRESSION")
      json_items(regexes "${value}")
    elseif(pname STREQUAL "ENVIRONMENT")
      json_items(environment "${value}")
    elseif(pname STREQUAL "SKIP_RETURN_CODE")
      set(skipCode "${value}")
    endif()
  endforeach()
  set(underWm FALSE)
  if(command MATCHES "UnderWindowManager\\.sh")
    set(underWm TRUE)
  endif()
  math(EXPR checked "${checked} + 1")
  if(underWm AND NOT skipCode EQUAL 77)
    list(APPEND faults "${name}: not skipped (77) where Xvfb or openbox is missing")
  endif()
  set(words "")
  json_items(words "${command}")
  # Each pattern of its filter names a test, listed offscreen from the program it runs: the last
  # word before the filter.
  set(program "")
  foreach(arg IN LISTS words)
    if(arg MATCHES "^--gtest_filter=(.*)")
      positive_patterns(patterns "${CMAKE_MATCH_1}")
      foreach(pattern IN LISTS patterns)
        execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${program}
                                --gtest_list_tests --gtest_filter=${pattern}
                        OUTPUT_VARIABLE out ERROR_QUIET)
        if(NOT out MATCHES "\n  ")
          list(APPEND faults "${name}: the filter pattern ${pattern} names no test")
        endif()
      endforeach()
    endif()
    set(program "${arg}")
  endforeach()
  # A pattern of its filter that names no test fails it, in its own environment, before any
  # display is started.
  if(underWm)
    set(args ${CMAKE_COMMAND} -E env ${environment})
    foreach(arg IN LISTS words)
      if(arg MATCHES "^--gtest_filter=([^-]*)(.*)$")
        set(arg "--gtest_filter=${CMAKE_MATCH_1}:Veltrix.NoSuchTest${CMAKE_MATCH_2}")
      endif()
      list(APPEND args "${arg}")
    endforeach()
    execute_process(COMMAND ${args} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(rc EQUAL 0 OR NOT out MATCHES "pattern Veltrix.NoSuchTest matches no test")
      list(APPEND faults "${name}: passes with a filter pattern that names no test")
    endif()
  endif()
  foreach(line IN LISTS must_fail must_pass)
    set(matched FALSE)
    foreach(r IN LISTS regexes)
      if(line MATCHES "${r}")
        set(matched TRUE)
      endif()
    endforeach()
    if(line IN_LIST must_fail AND NOT matched)
      list(APPEND faults "${name}: passes with \"${line}\"")
    elseif(line IN_LIST must_pass AND matched)
      list(APPEND faults "${name}: fails with \"${line}\"")
    endif()
  endforeach()
endforeach()
# The sanitizer builds have no such entry; elsewhere a listing that finds none has checked nothing.
if(checked EQUAL 0 AND NOT SANITIZED)
  list(APPEND faults "no entry runs its tests under a shim or a window manager: the listing was not read")
endif()
if(faults)
  list(JOIN faults "\n" text)
  message(FATAL_ERROR "${text}")
endif()
message(STATUS "${checked} entries run their tests under a shim or a window manager: all fail when they skip")
