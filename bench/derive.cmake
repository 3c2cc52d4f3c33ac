# Differentiation benchmarks: e_diff's core on typical, long and fuzz-found formulas.
add_executable(bench_derive ${CMAKE_CURRENT_LIST_DIR}/derive_bench.cpp)
target_link_libraries(bench_derive PRIVATE zorbit_core benchmark::benchmark vex_warnings)
# The slowest inputs the fuzz target kept are read from its corpus.
target_compile_definitions(bench_derive
  PRIVATE VEX_DERIVE_CORPUS="${PROJECT_SOURCE_DIR}/fuzz/corpus/fuzz_e_diff")
