# Fails when a test program has a table test whose rows are numbered instead of named:
# a failure of ".../17" says nothing about the case that broke.
#   cmake -DTEST_PROGRAM=<gtest program> -P check_row_names.cmake
execute_process(COMMAND "${TEST_PROGRAM}" --gtest_list_tests
  OUTPUT_VARIABLE listing RESULT_VARIABLE rc TIMEOUT 120)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${TEST_PROGRAM} --gtest_list_tests failed (${rc})")
endif()
set(suite "")
set(numbered "")
string(REPLACE ";" "," listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")
foreach(line IN LISTS lines)
  if(line MATCHES "^([^ ].*)\\.")
    set(suite "${CMAKE_MATCH_1}")
  elseif(line MATCHES "^  ([A-Za-z0-9_]+/[0-9]+)( |$)")
    list(APPEND numbered "${suite}.${CMAKE_MATCH_1}")
  endif()
endforeach()
if(numbered)
  list(JOIN numbered "\n  " text)
  message(FATAL_ERROR "table rows without a name (pass a name generator):\n  ${text}")
endif()
