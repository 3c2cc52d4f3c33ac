# Fails when a source file includes a header of a layer above its own.
# Inside libzorbit.so the layers run one way: common -> engine -> matrix -> derive ->
# numeric -> context; the layers' export files belong to the top. The program's own
# folders (script, platform, plot, shell) reach the library only through zorbit/zorbit.h.
# The program runs one way too: script/ uses nothing of shell/, plot/ or gridentry/, and
# plot/ and gridentry/ nothing of shell/.
# Run: cmake -DSOURCE_DIR=<tree> -P check_layers.cmake
set(layers common engine matrix derive numeric context)
set(program_folders script platform plot shell gridentry)
# The program folders each may not include from.
set(above_script shell plot gridentry)
set(above_plot shell)
set(above_gridentry shell)

function(layer_of folder out)
  list(FIND layers "${folder}" index)
  set(${out} ${index} PARENT_SCOPE)
endfunction()

set(failures "")
foreach(folder IN LISTS layers program_folders)
  file(GLOB_RECURSE sources "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
  foreach(source IN LISTS sources)
    file(RELATIVE_PATH rel "${SOURCE_DIR}" "${source}")
    get_filename_component(name "${source}" NAME)
    layer_of(${folder} own)
    if(name STREQUAL "exports.cpp")
      set(own 5)
    endif()
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]+\"([^\"]+)\".*" "\\1" header "${line}")
      string(REGEX MATCH "^[^/]+" top "${header}")
      layer_of("${top}" theirs)
      list(FIND above_${folder} "${top}" above)
      if(own GREATER_EQUAL 0)
        if(theirs GREATER own)
          list(APPEND failures "${rel} includes ${header}, a layer above its own")
        endif()
      elseif(theirs GREATER_EQUAL 0 AND NOT top STREQUAL "common")
        list(APPEND failures "${rel} includes ${header}: the program reaches the library only through zorbit/zorbit.h")
      elseif(above GREATER_EQUAL 0)
        list(APPEND failures "${rel} includes ${header}: ${folder}/ uses nothing of ${top}/")
      endif()
    endforeach()
  endforeach()
endforeach()

if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "Layer violations:\n${text}")
endif()
message(STATUS "layers: every include points down")
