# Fuzz target of the matrix-entry window's rules (no Qt, no library).
vex_fuzz_target(fuzz_grid_import ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_grid_import.cpp)
target_link_libraries(fuzz_grid_import PRIVATE vex_grid_core)
