# Runs one script pair: copies <topic>.vex (and the folder <topic>.files, if any) into
# a fresh temporary folder, runs vexcalc there without the user's configuration, and
# compares what it printed, its messages and its exit status with <topic>.expected.
# The arguments come from <topic>.args (one per line; %VEX% stands for the script's
# name, %WORK% for the temporary folder, %PROGDIR% for the program's own folder, shown
# as "<bin>", %NL% for a line break inside one, %CR% for a carriage return), else the
# whole script runs as one batch file without its report header.
#   cmake -DVEXCALC=... -DSOURCE_DIR=... -DTOPIC=... -DWORK=... -P run_script.cmake

set(work "${WORK}/${TOPIC}")
file(REMOVE_RECURSE "${work}")
file(MAKE_DIRECTORY "${work}")
file(COPY "${SOURCE_DIR}/${TOPIC}.vex" DESTINATION "${work}")
if(EXISTS "${SOURCE_DIR}/${TOPIC}.files")
  file(COPY "${SOURCE_DIR}/${TOPIC}.files/" DESTINATION "${work}")
endif()

# The command goes through a small shell script: arguments may hold ";", which a CMake
# list would split.
get_filename_component(progdir "${VEXCALC}" DIRECTORY)
set(command "exec '${VEXCALC}' --no-config")
if(EXISTS "${SOURCE_DIR}/${TOPIC}.args")
  file(READ "${SOURCE_DIR}/${TOPIC}.args" rest)
else()
  set(rest "--batch\n/i %VEX% /noh /\n")
endif()
while(NOT rest STREQUAL "")
  string(FIND "${rest}" "\n" nl)
  if(nl EQUAL -1)
    set(line "${rest}")
    set(rest "")
  else()
    string(SUBSTRING "${rest}" 0 ${nl} line)
    math(EXPR next "${nl} + 1")
    string(SUBSTRING "${rest}" ${next} -1 rest)
  endif()
  string(REPLACE "%VEX%" "${TOPIC}.vex" line "${line}")
  string(REPLACE "%WORK%" "${work}" line "${line}")
  string(REPLACE "%PROGDIR%" "${progdir}" line "${line}")
  string(REPLACE "%NL%" "\n" line "${line}")
  string(REPLACE "%CR%" "\r" line "${line}")
  string(REPLACE "'" "'\\''" line "${line}")
  string(APPEND command " '${line}'")
endwhile()
file(WRITE "${WORK}/${TOPIC}.sh" "${command}\n")

set(input_file /dev/null)
if(EXISTS "${SOURCE_DIR}/${TOPIC}.stdin")
  set(input_file "${SOURCE_DIR}/${TOPIC}.stdin")
endif()
execute_process(COMMAND sh "${WORK}/${TOPIC}.sh"
  WORKING_DIRECTORY "${work}"
  INPUT_FILE "${input_file}"
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc
  TIMEOUT 60)

set(actual "${out}--- stderr\n${err}--- exit ${rc}\n")
# Files the run wrote, in name order, when the pair asks for them.
if(EXISTS "${SOURCE_DIR}/${TOPIC}.show")
  file(STRINGS "${SOURCE_DIR}/${TOPIC}.show" shown)
  foreach(name IN LISTS shown)
    if(EXISTS "${work}/${name}")
      file(READ "${work}/${name}" content)
      string(APPEND actual "--- file ${name}\n${content}\n")
    else()
      string(APPEND actual "--- no file ${name}\n")
    endif()
  endforeach()
endif()

# Times, dates and the temporary folder differ from run to run.
include(${CMAKE_CURRENT_LIST_DIR}/normalise.cmake)
string(REPLACE "${progdir}" "<bin>" actual "${actual}")
vex_normalise(actual "${work}")

file(READ "${SOURCE_DIR}/${TOPIC}.expected" expected)
vex_normalise(expected "${work}")
if(NOT actual STREQUAL expected)
  file(WRITE "${work}.actual" "${actual}")
  message(FATAL_ERROR "Output differs from ${TOPIC}.expected; got (also in ${work}.actual):\n${actual}")
endif()
