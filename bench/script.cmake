# Interpreter benchmarks; they bind libzorbit.so by name like the program.
add_executable(bench_script ${CMAKE_CURRENT_SOURCE_DIR}/script_bench.cpp)
target_link_libraries(bench_script PRIVATE vex_shell_core benchmark::benchmark vex_warnings)
target_include_directories(bench_script PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(bench_script PRIVATE VEX_ZORBIT_PATH="$<TARGET_FILE:zorbit>")
add_dependencies(bench_script zorbit)
# Peak memory of a 50 MB batch run of the program (run as a child process).
add_executable(bench_batch_memory ${CMAKE_CURRENT_SOURCE_DIR}/batch_memory_bench.cpp)
target_link_libraries(bench_batch_memory PRIVATE benchmark::benchmark vex_warnings)
target_compile_definitions(bench_batch_memory PRIVATE VEXCALC_PATH="$<TARGET_FILE:vexcalc>")
add_dependencies(bench_batch_memory vexcalc)
