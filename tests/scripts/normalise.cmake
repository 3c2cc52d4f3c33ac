# What a script pair's run prints that differs from run to run is rewritten to a fixed
# form, so a pair compares equal whatever the clock says and however busy the machine is.
#   vex_normalise(<variable> <work folder>)
function(vex_normalise var work)
  set(text "${${var}}")
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "${work}" "<tmp>" text "${text}")

  # Dates and times of day: the batch report's "dd/mm/yyyy - hh:mm:ss" and the
  # library's file time "dd/mm/yyyy hh:mm:ss". Both keep their width.
  set(d2 "[0-9][0-9]")
  string(REGEX REPLACE "${d2}/${d2}/${d2}${d2} - ${d2}:${d2}:${d2}"
         "DD/MM/YYYY - hh:mm:ss" text "${text}")
  string(REGEX REPLACE "${d2}/${d2}/${d2}${d2} ${d2}:${d2}:${d2}"
         "DD/MM/YYYY hh:mm:ss" text "${text}")

  # The run's duration: its digits become one "N" and the width they took moves into the
  # dash run that pads the end line, so a 10 ms run (one dash fewer) reads like a 1 ms
  # run and the line keeps its length; a line padded wrongly still differs.
  set(duration_re "\\(Execution Time: ([0-9]+) ms\\)(-*)")
  while(text MATCHES "${duration_re}")
    set(found "${CMAKE_MATCH_0}")
    set(dashes "${CMAKE_MATCH_2}")
    string(LENGTH "${CMAKE_MATCH_1}" width)
    if(width GREATER 1)
      math(EXPR extra "${width} - 1")
      string(REPEAT "-" ${extra} more)
      string(APPEND dashes "${more}")
    endif()
    string(REPLACE "${found}" "(Execution Time: N ms)${dashes}" text "${text}")
  endwhile()
  # Any other form of it (none is written today) still loses its digits.
  string(REGEX REPLACE "Execution Time: [0-9]+ ms" "Execution Time: N ms" text "${text}")

  set(${var} "${text}" PARENT_SCOPE)
endfunction()
