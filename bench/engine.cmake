# Engine benchmarks; muparser (libmuparser-dev) is the optional yardstick.
add_executable(bench_engine ${CMAKE_CURRENT_LIST_DIR}/engine_bench.cpp)
# zorbit: the exports as a caller reaches them (their own context, beside zorbit_core's).
target_link_libraries(bench_engine PRIVATE zorbit_core zorbit benchmark::benchmark vex_warnings)
find_path(MUPARSER_INCLUDE_DIR muParser.h PATH_SUFFIXES muparser)
find_library(MUPARSER_LIBRARY muparser)
if(MUPARSER_INCLUDE_DIR AND MUPARSER_LIBRARY)
  target_compile_definitions(bench_engine PRIVATE VEX_HAVE_MUPARSER=1)
  target_include_directories(bench_engine SYSTEM PRIVATE ${MUPARSER_INCLUDE_DIR})
  target_link_libraries(bench_engine PRIVATE ${MUPARSER_LIBRARY})
endif()
# Large variable and function lists.
add_executable(bench_lists ${CMAKE_CURRENT_LIST_DIR}/lists_bench.cpp)
target_link_libraries(bench_lists PRIVATE zorbit_core benchmark::benchmark vex_warnings)
