# Fails when an export of libzorbit.so does anything before guarded(): every export must
# take the library's lock and refuse a call from inside a hook.
# Run: cmake "-DFILES=<exports.cpp>;..." -P exports_guarded.cmake
set(failures "")
set(count 0)
foreach(file IN LISTS FILES)
  file(READ "${file}" text)
  # CMake lists split at ";": the code's own are written "`" here.
  string(REPLACE ";" "`" text "${text}")
  # A definition up to its first closing brace: for a guarded export, the end of its lambda.
  string(REGEX MATCHALL "ZORBIT_API[^{`]*{[^}]*}" bodies "${text}")
  foreach(body IN LISTS bodies)
    math(EXPR count "${count} + 1")
    string(REGEX MATCH "^ZORBIT_API[^(]*[ *]([A-Za-z_0-9]+)\\(" head "${body}")
    set(name "${CMAKE_MATCH_1}")
    if(NOT body MATCHES "{[ \n]*return guarded(_code|_result)?\\(" AND
       NOT body MATCHES "{[ \n]*guarded\\(")
      string(APPEND failures "  ${name} in ${file}\n")
    endif()
  endforeach()
endforeach()
if(count EQUAL 0)
  message(FATAL_ERROR "no export found in ${FILES}")
endif()
if(failures)
  message(FATAL_ERROR "exports that bypass guarded():\n${failures}")
endif()
message(STATUS "${count} exports, each inside guarded()")
