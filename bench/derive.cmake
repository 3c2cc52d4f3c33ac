# Differentiation benchmarks: e_diff's core on typical formulas.
add_executable(bench_derive ${CMAKE_CURRENT_LIST_DIR}/derive_bench.cpp)
target_link_libraries(bench_derive PRIVATE zorbit_core benchmark::benchmark vex_warnings)
