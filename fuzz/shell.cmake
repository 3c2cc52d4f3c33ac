# Fuzz targets of the main window's files: expression lists and the configuration.
foreach(target fuzz_list_file fuzz_config)
  vex_fuzz_target(${target} ${CMAKE_CURRENT_SOURCE_DIR}/${target}.cpp)
  target_link_libraries(${target} PRIVATE vex_shell_core)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
endforeach()
