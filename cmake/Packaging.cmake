# Installing and packaging: the helpers that install the manual pages and the Debian
# documentation files, and CPack's DEB generator (`cpack -G DEB` in a build folder; see
# scripts/package.sh). Installed paths follow GNUInstallDirs; configure with
# -DCMAKE_INSTALL_PREFIX=/usr for a package, so that the manual pages name the right folders.

set(TESSARO_PACKAGE_MAINTAINER "Tessaro developers <tessaro@example.org>"
    CACHE STRING "Maintainer field of the Debian package")
# Shared data (examples, the microprogram) and the documentation of the package.
set(TESSARO_DATADIR ${CMAKE_INSTALL_DATADIR}/tessaro)
set(TESSARO_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/tessaro)

find_program(TESSARO_GZIP gzip)

# tessaro_install_gzipped(FILE DESTINATION): installs FILE compressed as Debian wants manual
# pages and changelogs (gzip -9n: best compression, no name or time stamp, so the result is
# reproducible). Without gzip, installs it as it is.
function(tessaro_install_gzipped file destination)
  if(NOT TESSARO_GZIP)
    install(FILES ${file} DESTINATION ${destination})
    return()
  endif()
  get_filename_component(name ${file} NAME)
  set(copy ${CMAKE_CURRENT_BINARY_DIR}/gzip/${name})
  add_custom_command(
    OUTPUT ${copy}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${file} ${copy}
    COMMAND ${TESSARO_GZIP} -9nf ${copy}
    DEPENDS ${file}
    VERBATIM)
  string(MAKE_C_IDENTIFIER "gzip_${name}" target)
  add_custom_target(${target} ALL DEPENDS ${copy}.gz)
  install(FILES ${copy}.gz DESTINATION ${destination})
endfunction()

# tessaro_install_man(PAGE.N): the manual page beside the calling CMakeLists.txt, with its
# version and data folder filled in, into section N.
function(tessaro_install_man page)
  string(REGEX MATCH "[0-9]$" section ${page})
  set(VERSION ${PROJECT_VERSION})
  set(DATADIR ${CMAKE_INSTALL_FULL_DATADIR}/tessaro)
  configure_file(${page} ${CMAKE_CURRENT_BINARY_DIR}/man/${page} @ONLY)
  tessaro_install_gzipped(${CMAKE_CURRENT_BINARY_DIR}/man/${page}
                          ${CMAKE_INSTALL_MANDIR}/man${section})
endfunction()

install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${TESSARO_DOCDIR})
tessaro_install_gzipped(${PROJECT_SOURCE_DIR}/packaging/changelog ${TESSARO_DOCDIR})

# The package: one binary package "tessaro" with both programs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessaro)
set(CPACK_PACKAGE_VENDOR "The Tessaro developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${TESSARO_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "teaching tool for the Mic-1 microarchitecture and IJVM")
# Wrapped for 80-column terminals, as dpkg and apt show it.
set(CPACK_PACKAGE_DESCRIPTION
    "Tessaro shows a microprogrammed Mic-1 carrying out IJVM programs. A student
writes an IJVM program, assembles and loads it, and steps it one IJVM
instruction, one micro-instruction or a quarter of a micro-instruction at a
time, with the datapath, the registers, the buses, the micro-instruction and
the stack on screen.

The package also contains tessaro-cli, which translates MAL microprograms and
assembles and runs IJVM programs from scripts, and example programs.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TESSARO_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own texts (standard buttons, file errors) in the language of the window.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Debian's permissions whatever the umask of whoever builds the package.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
