# Interpreter benchmarks; they bind libzorbit.so by name like the program.
add_executable(bench_script ${CMAKE_CURRENT_SOURCE_DIR}/script_bench.cpp)
target_link_libraries(bench_script PRIVATE vex_shell_core benchmark::benchmark vex_warnings)
target_include_directories(bench_script PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(bench_script PRIVATE VEX_ZORBIT_PATH="$<TARGET_FILE:zorbit>")
add_dependencies(bench_script zorbit)
