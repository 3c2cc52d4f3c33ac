# The matrix-entry window and its rules under the offscreen platform.
find_package(Qt6 REQUIRED COMPONENTS Test)
add_executable(gridentry_bench ${CMAKE_CURRENT_LIST_DIR}/gridentry_bench.cpp)
target_link_libraries(gridentry_bench PRIVATE vex_grid Qt6::Test benchmark::benchmark vex_warnings)
