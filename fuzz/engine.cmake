vex_fuzz_target(fuzz_e_eval ${CMAKE_CURRENT_LIST_DIR}/fuzz_e_eval.cpp)
target_link_libraries(fuzz_e_eval PRIVATE zorbit_core)
vex_fuzz_target(fuzz_strd0 ${CMAKE_CURRENT_LIST_DIR}/fuzz_strd0.cpp)
target_link_libraries(fuzz_strd0 PRIVATE zorbit_core)
