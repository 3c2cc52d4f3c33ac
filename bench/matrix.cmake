# Matrix benchmarks: the exported operations (their core calls) and matrices inside e_eval.
add_executable(bench_matrix ${CMAKE_CURRENT_LIST_DIR}/matrix_bench.cpp)
target_link_libraries(bench_matrix PRIVATE zorbit_core benchmark::benchmark vex_warnings)
