# Saving a plot's picture: JPEG (the plot images' format), with PNG and SVG beside it.
add_executable(bench_plot_image ${CMAKE_CURRENT_LIST_DIR}/plot_image_bench.cpp)
target_link_libraries(bench_plot_image PRIVATE vex_plot_image benchmark::benchmark vex_warnings)
