# The command-line help has one source, data/vexcalc-help.txt: compiled into the
# program for --help, and turned into the sections of the man page.
#   cmake -DMODE=header -DIN=<help.txt> -DOUT=<help_text.h> -P help_text.cmake
#   cmake -DMODE=man -DIN=<help.txt> -DTEMPLATE=<vexcalc.1.in> -DVERSION=<x.y.z.w>
#         -DOUT=<vexcalc.1> -P help_text.cmake
# The help text's sections start at column 0 with a heading ("Usage:", "Options:",
# "Exit status:"); the man template takes each as @SECTION_<HEADING>@.
cmake_minimum_required(VERSION 3.25)

file(READ "${IN}" help)
string(REPLACE "\r" "" help "${help}")

# Writes only a changed file, so an unchanged text does not rebuild the program.
function(write_if_changed path text)
  if(EXISTS "${path}")
    file(READ "${path}" old)
    if(old STREQUAL text)
      return()
    endif()
  endif()
  file(WRITE "${path}" "${text}")
endfunction()

if(MODE STREQUAL "header")
  string(FIND "${help}" ")vexhelp\"" clash)
  if(NOT clash EQUAL -1)
    message(FATAL_ERROR "${IN} contains the header's raw-string end )vexhelp\"")
  endif()
  string(CONCAT header
    "// Made from data/vexcalc-help.txt at build time: edit that file.\n"
    "#pragma once\n\nnamespace vex {\n\n"
    "inline constexpr char kHelpText[] = R\"vexhelp(${help})vexhelp\";\n\n"
    "} // namespace vex\n")
  write_if_changed("${OUT}" "${header}")
  return()
endif()

if(NOT MODE STREQUAL "man")
  message(FATAL_ERROR "MODE must be header or man")
endif()

# CMake lists split at ';' and keep '[...]' together: those characters travel encoded
# while the text is cut into lines.
string(REPLACE "\\" "<bs>" help "${help}")
string(REPLACE ";" "<sc>" help "${help}")
string(REPLACE "[" "<lb>" help "${help}")
string(REPLACE "]" "<rb>" help "${help}")
string(REGEX REPLACE "\n$" "" help "${help}")
string(REPLACE "\n" ";" lines "${help}")

set(sections "")
set(current "")
set(indent 0)
foreach(line IN LISTS lines)
  if(line MATCHES "^([A-Z][a-z ]*):( ?)(.*)$")
    string(TOUPPER "${CMAKE_MATCH_1}" current)
    string(REPLACE " " "_" current "${current}")
    list(APPEND sections ${current})
    set(body_${current} "")
    # Continuation lines are indented by the heading's width; the page drops it.
    string(LENGTH "${CMAKE_MATCH_1}:${CMAKE_MATCH_2}" indent)
    set(line "${CMAKE_MATCH_3}")
    if(line STREQUAL "")
      continue()
    endif()
  elseif(current STREQUAL "")
    message(FATAL_ERROR "${IN}: text before the first heading: ${line}")
  else()
    set(lead 0)
    if(line MATCHES "^( +)")
      string(LENGTH "${CMAKE_MATCH_1}" lead)
    endif()
    if(lead GREATER indent)
      set(lead ${indent})
    endif()
    string(SUBSTRING "${line}" ${lead} -1 line)
  endif()
  # roff: a backslash is \e, a minus sign \-, and a line must not start a request.
  string(REPLACE "<bs>" "\\e" line "${line}")
  string(REPLACE "-" "\\-" line "${line}")
  if(line MATCHES "^[.']")
    set(line "\\&${line}")
  endif()
  string(APPEND body_${current} "${line}\n")
endforeach()

file(READ "${TEMPLATE}" page)
foreach(section IN LISTS sections)
  string(FIND "${page}" "@SECTION_${section}@" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${TEMPLATE} has no place for the help section ${section}")
  endif()
  string(REPLACE "@SECTION_${section}@" ".nf\n${body_${section}}.fi" page "${page}")
endforeach()
string(REGEX MATCH "@SECTION_[A-Z_]*@" missing "${page}")
if(missing)
  message(FATAL_ERROR "${IN} has no section for ${missing}")
endif()
string(REPLACE "@VERSION@" "${VERSION}" page "${page}")
string(REPLACE "<sc>" ";" page "${page}")
string(REPLACE "<lb>" "[" page "${page}")
string(REPLACE "<rb>" "]" page "${page}")
write_if_changed("${OUT}" "${page}")
