# Fuzz target of the "Plot" line; it binds the fuzz build's libzorbit.so by name.
vex_fuzz_target(fuzz_plot_line ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_plot_line.cpp)
target_link_libraries(fuzz_plot_line PRIVATE vex_plot_core vex_shell_core)
target_include_directories(fuzz_plot_line PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(fuzz_plot_line PRIVATE VEX_ZORBIT_PATH="$<TARGET_FILE:zorbit>")
add_dependencies(fuzz_plot_line zorbit)
