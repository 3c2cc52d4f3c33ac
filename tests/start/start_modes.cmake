# How vexcalc starts without arguments, with no window to open: piped lines are
# evaluated as with "-", and without a display it says once why and reads the terminal.
# Run: cmake -DVEXCALC=<program> -DWORK=<folder> -DWINDOW=<ON|OFF> -P start_modes.cmake
file(MAKE_DIRECTORY "${WORK}")
file(WRITE "${WORK}/lines.txt" "2+3\nsdiff(x) = x^2\n")

set(failures "")
macro(expect what condition)
  cmake_language(EVAL CODE "if(NOT (${condition}))
    string(APPEND failures \"\\n${what}\")
  endif()")
endmacro()

# Every display variable gone: the decision cannot depend on the caller's session.
set(no_display ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
               --unset=QT_QPA_PLATFORM)

execute_process(COMMAND ${no_display} "${VEXCALC}" --no-config
                INPUT_FILE "${WORK}/lines.txt" OUTPUT_VARIABLE out ERROR_VARIABLE err
                RESULT_VARIABLE rc)
string(FIND "${out}" "5.0000" sum)
string(FIND "${out}" "2*x" derivative)
expect("piped lines: exit ${rc}" "rc EQUAL 0")
expect("piped lines: no sum in [${out}]" "sum GREATER -1")
expect("piped lines: no derivative in [${out}]" "derivative GREATER -1")
string(FIND "${err}" "no window" note)
expect("piped lines: a window note in [${err}]" "note EQUAL -1")

execute_process(COMMAND ${no_display} "${VEXCALC}" --no-config
                INPUT_FILE /dev/null OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
expect("no display: exit ${rc}" "rc EQUAL 0")
string(REGEX MATCHALL "no window" notes "${err}")
list(LENGTH notes count)
expect("no display: ${count} notes in [${err}]" "count EQUAL 1")
if(NOT WINDOW)
  # A build without the window says so instead.
  string(FIND "${err}" "not part of this build" reason)
  expect("headless build: no reason in [${err}]" "reason GREATER -1")
else()
  string(FIND "${err}" "DISPLAY and WAYLAND_DISPLAY are not set" reason)
  expect("no display: no reason in [${err}]" "reason GREATER -1")

  # A display that does not answer must not abort the program.
  execute_process(COMMAND ${no_display} DISPLAY=:4711 "${VEXCALC}" --no-config
                  INPUT_FILE /dev/null OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
  expect("silent display: exit ${rc}" "rc EQUAL 0")
  string(FIND "${err}" ":4711 does not answer" reason)
  expect("silent display: no reason in [${err}]" "reason GREATER -1")
endif()

if(failures)
  message(FATAL_ERROR "start modes:${failures}")
endif()
