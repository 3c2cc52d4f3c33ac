# The main window under the offscreen platform; binds libzorbit.so by name like the program.
find_package(Qt6 REQUIRED COMPONENTS Test)
add_executable(window_bench ${CMAKE_CURRENT_LIST_DIR}/window_bench.cpp)
target_link_libraries(window_bench PRIVATE vex_window Qt6::Test benchmark::benchmark vex_warnings)
target_compile_definitions(window_bench PRIVATE VEX_ZORBIT_PATH="$<TARGET_FILE:zorbit>")
add_dependencies(window_bench zorbit)
# The help line reads the command help beside the executable, as the program does.
add_custom_command(TARGET window_bench POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different
          ${PROJECT_SOURCE_DIR}/data/ShowCmds.vex $<TARGET_FILE_DIR:window_bench>/ShowCmds.vex)
