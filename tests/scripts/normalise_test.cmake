# Checks the script pairs' normaliser: report lines written at different times and with
# runs of different length must come out alike, and a wrongly padded end line must not.
#   cmake -P normalise_test.cmake
include(${CMAKE_CURRENT_LIST_DIR}/normalise.cmake)

set(failures 0)
macro(check_equal what got want)
  if(NOT "${got}" STREQUAL "${want}")
    message(SEND_ERROR "${what}:\n  got  [${got}]\n  want [${want}]")
    math(EXPR failures "${failures} + 1")
  endif()
endmacro()

# The end line as the batch runner writes it: 84 characters, filled with "-" or cut.
function(end_line out date ms)
  set(line "'--- End Of BatchRun : Time ${date} - (Execution Time: ${ms} ms)")
  string(LENGTH "${line}" length)
  if(length LESS 84)
    math(EXPR fill "84 - ${length}")
    string(REPEAT "-" ${fill} dashes)
    string(APPEND line "${dashes}")
  endif()
  set(${out} "${line}" PARENT_SCOPE)
endfunction()

# What the pairs' .expected files hold for it.
set(canonical
    "'--- End Of BatchRun : Time DD/MM/YYYY - hh:mm:ss - (Execution Time: N ms)----------")

set(rows
    "01/02/2024 - 03:04:05|7"
    "31/12/1999 - 23:59:59|42"
    "15/06/2030 - 12:00:00|12345"
    "28/02/2025 - 00:00:01|0")
foreach(row IN LISTS rows)
  string(REPLACE "|" ";" fields "${row}")
  list(GET fields 0 date)
  list(GET fields 1 ms)
  end_line(line "${date}" "${ms}")
  # As it appears in a report: among other lines, with CR LF ends.
  set(text "Ln 1: EXPR = 3:\r\n${line}\r\nafter\r\n")
  vex_normalise(text "/nowhere")
  check_equal("end line after ${ms} ms at ${date}" "${text}" "Ln 1: EXPR = 3:\n${canonical}\nafter\n")
endforeach()

# Two end lines of different durations in one text, the longer one first.
end_line(slow "01/01/2001 - 01:01:01" 1234)
end_line(fast "02/02/2002 - 02:02:02" 5)
set(text "${slow}\n${fast}\n")
vex_normalise(text "/nowhere")
check_equal("two end lines" "${text}" "${canonical}\n${canonical}\n")

# The length rule is still checked: one dash short, or one too many, stays different.
foreach(ms 7 42 12345)
  end_line(line "01/02/2024 - 03:04:05" ${ms})
  string(REGEX REPLACE "-$" "" short "${line}")
  vex_normalise(short "/nowhere")
  if(short STREQUAL canonical)
    message(SEND_ERROR "an end line one dash short after ${ms} ms normalises like a good one")
    math(EXPR failures "${failures} + 1")
  endif()
  set(long "${line}-")
  vex_normalise(long "/nowhere")
  if(long STREQUAL canonical)
    message(SEND_ERROR "an end line one dash long after ${ms} ms normalises like a good one")
    math(EXPR failures "${failures} + 1")
  endif()
endforeach()

# The log's start time, the library's file time and the temporary folder.
set(text "BatchRun      : Time 09/10/2024 - 21:22:23\nFileTime: 01/01/2020 00:00:00\n\"/tmp/w/x/run.log\"\n")
vex_normalise(text "/tmp/w/x")
check_equal("log lines" "${text}"
            "BatchRun      : Time DD/MM/YYYY - hh:mm:ss\nFileTime: DD/MM/YYYY hh:mm:ss\n\"<tmp>/run.log\"\n")

# A number that merely looks like a duration elsewhere is left alone.
set(text "Ln 1: EXPR = 10:\n Result => Number = 10.0000\n")
vex_normalise(text "/nowhere")
check_equal("results untouched" "${text}" "Ln 1: EXPR = 10:\n Result => Number = 10.0000\n")

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} normaliser check(s) failed")
endif()
message(STATUS "normaliser: all checks passed")
