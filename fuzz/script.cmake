# Fuzz targets of the interpreter; they bind the fuzz build's libzorbit.so by name.
foreach(target fuzz_eval_script fuzz_cmdline fuzz_read_text_file)
  vex_fuzz_target(${target} ${CMAKE_CURRENT_SOURCE_DIR}/${target}.cpp)
  target_link_libraries(${target} PRIVATE vex_shell_core)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${target} PRIVATE VEX_ZORBIT_PATH="$<TARGET_FILE:zorbit>")
  add_dependencies(${target} zorbit)
endforeach()
