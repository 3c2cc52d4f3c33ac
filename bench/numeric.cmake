# Series and numeric routines through their exports (the same source builds before and
# after a change of their internals); muparser's bound-variable loop is the yardstick.
add_executable(bench_numeric ${CMAKE_CURRENT_LIST_DIR}/numeric_bench.cpp)
target_link_libraries(bench_numeric PRIVATE zorbit benchmark::benchmark vex_warnings)
target_include_directories(bench_numeric PRIVATE ${PROJECT_SOURCE_DIR}/include)
if(MUPARSER_INCLUDE_DIR AND MUPARSER_LIBRARY)
  target_compile_definitions(bench_numeric PRIVATE VEX_HAVE_MUPARSER=1)
  target_include_directories(bench_numeric SYSTEM PRIVATE ${MUPARSER_INCLUDE_DIR})
  target_link_libraries(bench_numeric PRIVATE ${MUPARSER_LIBRARY})
endif()
