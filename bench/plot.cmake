# Plots computed, drawn and saved under the offscreen platform, and a batch run saving
# 20 of them; binds libzorbit.so by name like the program.
add_executable(bench_plot ${CMAKE_CURRENT_LIST_DIR}/plot_bench.cpp)
target_link_libraries(bench_plot PRIVATE vex_plot vex_shell_core benchmark::benchmark vex_warnings)
target_compile_definitions(bench_plot PRIVATE VEX_ZORBIT_PATH="$<TARGET_FILE:zorbit>")
add_dependencies(bench_plot zorbit)
# The start-up reads the command help beside the executable, as the program does.
add_custom_command(TARGET bench_plot POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different
          ${PROJECT_SOURCE_DIR}/data/ShowCmds.vex $<TARGET_FILE_DIR:bench_plot>/ShowCmds.vex)
