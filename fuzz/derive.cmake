vex_fuzz_target(fuzz_e_diff ${CMAKE_CURRENT_LIST_DIR}/fuzz_e_diff.cpp)
target_link_libraries(fuzz_e_diff PRIVATE zorbit_core)
