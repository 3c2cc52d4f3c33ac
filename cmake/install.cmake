# Installation into any prefix (GNU install directories) and the Debian package:
#   cmake --install build/default --prefix ~/.local
#   (cd build/default && cpack -G DEB)
# The program and the libraries, the public header with a pkg-config file and a CMake
# package (find_package(zorbit) gives zorbit::zorbit), the command help, the man page,
# and the desktop entry with its icon, metainfo and the file type of lists (*.vxc).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(VEX_APP_ID io.github.vexcalc.vexcalc)

# Folder b relative to folder a, both under the same prefix (absolute ones stay so).
function(vex_relative_folder out a b)
  foreach(v a b)
    if(NOT IS_ABSOLUTE "${${v}}")
      set(${v} "/prefix/${${v}}")
    endif()
  endforeach()
  file(RELATIVE_PATH rel "${a}" "${b}")
  set(${out} "${rel}" PARENT_SCOPE)
endfunction()

# The installed program finds the library by a run path relative to itself, and its
# data by the same step from bin to share, so the prefix can move.
vex_relative_folder(vex_lib_from_bin "${CMAKE_INSTALL_BINDIR}" "${CMAKE_INSTALL_LIBDIR}")
vex_relative_folder(vex_data_from_bin "${CMAKE_INSTALL_BINDIR}" "${CMAKE_INSTALL_DATADIR}/vexcalc")
set_target_properties(vexcalc PROPERTIES INSTALL_RPATH "$ORIGIN/${vex_lib_from_bin}")
target_compile_definitions(vex_shell_core PRIVATE VEX_DATA_FROM_BIN="${vex_data_from_bin}")

# --- Program, libraries, command help ------------------------------------------------
install(TARGETS vexcalc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS zorbit EXPORT zorbitTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
# The matrix-entry window's library, in the builds that have it.
if(TARGET gridentry)
  install(TARGETS gridentry LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
  install(FILES include/gridentry/gridentry.h
          DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/gridentry)
endif()
install(FILES data/ShowCmds.vex DESTINATION ${CMAKE_INSTALL_DATADIR}/vexcalc)

# --- Building against libzorbit ----------------------------------------------------------
install(FILES include/zorbit/zorbit.h include/zorbit/codes.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/zorbit)

set(vex_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/zorbit)
install(EXPORT zorbitTargets NAMESPACE zorbit:: DESTINATION ${vex_cmake_dir})
configure_package_config_file(cmake/zorbitConfig.cmake.in
  ${CMAKE_BINARY_DIR}/install/zorbitConfig.cmake INSTALL_DESTINATION ${vex_cmake_dir})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/install/zorbitConfigVersion.cmake
  VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/install/zorbitConfig.cmake
              ${CMAKE_BINARY_DIR}/install/zorbitConfigVersion.cmake
        DESTINATION ${vex_cmake_dir})

# zorbit.pc names the prefix the files are installed under, known only when installing
# (cmake --install --prefix, or the package's /usr).
foreach(dir LIBDIR INCLUDEDIR)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_${dir}}")
    set(vex_pc_${dir} "${CMAKE_INSTALL_${dir}}")
  else()
    set(vex_pc_${dir} "\${prefix}/${CMAKE_INSTALL_${dir}}")
  endif()
endforeach()
set(vex_pc_file ${CMAKE_BINARY_DIR}/install/zorbit.pc)
install(CODE "
  set(prefix \"\${CMAKE_INSTALL_PREFIX}\")
  set(VEX_PC_LIBDIR [[${vex_pc_LIBDIR}]])
  set(VEX_PC_INCLUDEDIR [[${vex_pc_INCLUDEDIR}]])
  set(VEX_PC_VERSION [[${PROJECT_VERSION}]])
  configure_file([[${PROJECT_SOURCE_DIR}/cmake/zorbit.pc.in]] [[${vex_pc_file}]] @ONLY)
")
install(FILES ${vex_pc_file} DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# --- Man page: made from the --help text -------------------------------------------------
set(vex_man ${CMAKE_BINARY_DIR}/man/vexcalc.1)
add_custom_command(OUTPUT ${vex_man}
  COMMAND ${CMAKE_COMMAND} -DMODE=man -DIN=${PROJECT_SOURCE_DIR}/data/vexcalc-help.txt
          -DTEMPLATE=${PROJECT_SOURCE_DIR}/data/vexcalc.1.in -DVERSION=${PROJECT_VERSION}
          -DOUT=${vex_man} -P ${PROJECT_SOURCE_DIR}/cmake/help_text.cmake
  DEPENDS ${PROJECT_SOURCE_DIR}/data/vexcalc-help.txt ${PROJECT_SOURCE_DIR}/data/vexcalc.1.in
          ${PROJECT_SOURCE_DIR}/cmake/help_text.cmake
  COMMENT "Man page from data/vexcalc-help.txt")
add_custom_target(vexcalc_man ALL DEPENDS ${vex_man})
install(FILES ${vex_man} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Everything the rules above install, to build before installing from a tree that built
# nothing else (scripts/install.sh).
add_custom_target(vex_installables)
add_dependencies(vex_installables vexcalc zorbit vexcalc_man)
if(TARGET gridentry)
  add_dependencies(vex_installables gridentry)
endif()

# --- Desktop ------------------------------------------------------------------------------
install(FILES data/${VEX_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/${VEX_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES data/${VEX_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES data/${VEX_APP_ID}.mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME ${VEX_APP_ID}.xml)

# --- Debian package -----------------------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vexcalc)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "vexCalc developers")
set(CPACK_PACKAGE_CONTACT "vexCalc developers <vexcalc@users.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "calculator of formulas, statistics, matrices, derivatives and plots")
set(CPACK_PACKAGE_DESCRIPTION
    "A desktop calculator: formulas, variables and text-macro functions, statistics over
lists, named matrices, symbolic first derivatives and plots, with a small script
language and a batch runner. Includes the engine library libzorbit with its header,
pkg-config file and CMake package.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
# Library dependencies come from dpkg-shlibdeps; Qt's platform plugins are loaded at run
# time, so no library names them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
