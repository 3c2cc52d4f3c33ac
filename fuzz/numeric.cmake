# The compiled route of a formula over many x against text substitution.
vex_fuzz_target(fuzz_series ${CMAKE_CURRENT_LIST_DIR}/fuzz_series.cpp)
target_link_libraries(fuzz_series PRIVATE zorbit_core)
