# Where vexCalc.ini should be, anything but a regular file (a FIFO, a folder) is passed
# over at once with a note, in every mode; without a home the program keeps nothing,
# least of all in the folder it was started from, and says so once.
# Run: cmake -DVEXCALC=<program> -DZORBIT=<library> -DHELP=<ShowCmds.vex> -DWORK=<folder>
#            -P start_config.cmake
file(REMOVE_RECURSE "${WORK}")
foreach(dir portable inst/bin inst/share/vexcalc here)
  file(MAKE_DIRECTORY "${WORK}/${dir}")
endforeach()
# A portable copy (the command help beside it) and an installed one (bin and share).
file(COPY "${VEXCALC}" "${HELP}" DESTINATION "${WORK}/portable")
file(COPY_FILE "${ZORBIT}" "${WORK}/portable/libzorbit.so.0")
file(COPY "${VEXCALC}" DESTINATION "${WORK}/inst/bin")
file(COPY_FILE "${ZORBIT}" "${WORK}/inst/bin/libzorbit.so.0")
file(COPY "${HELP}" DESTINATION "${WORK}/inst/share/vexcalc")
file(WRITE "${WORK}/lines.txt" "2+3\n")
file(WRITE "${WORK}/here/in.vex" "Expr = 6*7\n")

set(failures "")
macro(expect what condition)
  cmake_language(EVAL CODE "if(NOT (${condition}))
    string(APPEND failures \"\\n${what}\")
  endif()")
endmacro()
# How often text occurs in where.
function(count_of text where out)
  string(REGEX MATCHALL "${text}" found "${where}")
  list(LENGTH found n)
  set(${out} ${n} PARENT_SCOPE)
endfunction()

set(ini "${WORK}/portable/vexCalc.ini")
set(program "${WORK}/portable/vexcalc")
execute_process(COMMAND mkfifo "${ini}" RESULT_VARIABLE rc)
expect("mkfifo: ${rc}" "rc EQUAL 0")
foreach(kind fifo folder)
  if(kind STREQUAL "folder")
    file(REMOVE "${ini}")
    file(MAKE_DIRECTORY "${ini}")
  endif()
  # Each mode: its arguments, its input and what it prints.
  foreach(mode e stdin batch)
    if(mode STREQUAL "e")
      set(args -e 1+1)
      set(input /dev/null)
      set(want "2.0000")
    elseif(mode STREQUAL "stdin")
      set(args -)
      set(input "${WORK}/lines.txt")
      set(want "5.0000")
    else()
      set(args --batch "/i in.vex /o out.vex /")
      set(input /dev/null)
      set(want "")
    endif()
    execute_process(COMMAND "${program}" ${args} WORKING_DIRECTORY "${WORK}/here"
                    INPUT_FILE "${input}" OUTPUT_VARIABLE out ERROR_VARIABLE err
                    RESULT_VARIABLE rc TIMEOUT 20)
    expect("${kind} ${mode}: exit ${rc}" "rc EQUAL 0")
    string(FIND "${out}" "${want}" at)
    expect("${kind} ${mode}: no ${want} in [${out}]" "at GREATER -1")
    count_of("vexCalc.ini: not a regular file" "${err}" n)
    expect("${kind} ${mode}: ${n} notes in [${err}]" "n EQUAL 1")
  endforeach()
endforeach()
expect("the folder was replaced" "IS_DIRECTORY \"${ini}\"")
file(READ "${WORK}/here/out.vex" report)
string(FIND "${report}" "42" at)
expect("batch: no 42 in [${report}]" "at GREATER -1")
file(REMOVE "${WORK}/here/in.vex" "${WORK}/here/out.vex")

# Installed, without HOME and the XDG folders: the account's home is taken, and nothing
# lands in the folder the program was started from.
file(CHMOD "${WORK}/here" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
           GROUP_READ GROUP_WRITE GROUP_EXECUTE WORLD_READ WORLD_WRITE WORLD_EXECUTE)
set(bare ${CMAKE_COMMAND} -E env --unset=HOME --unset=XDG_CONFIG_HOME --unset=XDG_DATA_HOME)
execute_process(COMMAND ${bare} "${WORK}/inst/bin/vexcalc" -e 2*3
                WORKING_DIRECTORY "${WORK}/here" INPUT_FILE /dev/null OUTPUT_VARIABLE out
                ERROR_VARIABLE err RESULT_VARIABLE rc TIMEOUT 20)
expect("no HOME: exit ${rc} [${err}]" "rc EQUAL 0")
string(FIND "${out}" "6.0000" at)
expect("no HOME: no 6 in [${out}]" "at GREATER -1")

# An account without an entry in the password database has no home at all; only root
# can take such an account to try it.
execute_process(COMMAND id -u OUTPUT_VARIABLE uid OUTPUT_STRIP_TRAILING_WHITESPACE)
find_program(setpriv setpriv)
if(uid STREQUAL "0" AND setpriv)
  execute_process(COMMAND getent passwd 54321 RESULT_VARIABLE taken OUTPUT_QUIET)
  if(NOT taken EQUAL 0)
    execute_process(COMMAND ${bare} "${setpriv}" --reuid=54321 --regid=54321 --clear-groups
                            "${WORK}/inst/bin/vexcalc" -e 2*3
                    WORKING_DIRECTORY "${WORK}/here" INPUT_FILE /dev/null OUTPUT_VARIABLE out
                    ERROR_VARIABLE err RESULT_VARIABLE rc TIMEOUT 20)
    expect("no home: exit ${rc} [${err}]" "rc EQUAL 0")
    string(FIND "${out}" "6.0000" at)
    expect("no home: no 6 in [${out}]" "at GREATER -1")
    count_of("no home folder" "${err}" n)
    expect("no home: ${n} notes in [${err}]" "n EQUAL 1")
  endif()
endif()
file(GLOB left LIST_DIRECTORIES true "${WORK}/here/*" "${WORK}/here/.*")
expect("the start folder holds [${left}]" "\"${left}\" STREQUAL \"\"")

if(failures)
  message(FATAL_ERROR "start configuration:${failures}")
endif()
