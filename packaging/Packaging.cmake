# What `cmake --install` puts where, and the Debian package built from it
# with `cpack -G DEB` (scripts/package.sh builds and checks it).
include(GNUInstallDirs)

set(QUORVANE_APP_ID com.tamsorel.quorvane)
set(packaging_dir ${CMAKE_CURRENT_LIST_DIR})
set(generated_dir ${CMAKE_BINARY_DIR}/packaging)

install(TARGETS quorvane quorvane-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The manual page, its title line stamped with the version, compressed as
# Debian ships manual pages.
set(man_page ${generated_dir}/quorvane-cli.1)
set(man_source ${PROJECT_SOURCE_DIR}/src/cli/quorvane-cli.1)
add_custom_command(
  OUTPUT ${man_page}.gz
  COMMAND ${CMAKE_COMMAND} -DIN=${man_source} -DOUT=${man_page} -DVERSION=${PROJECT_VERSION}
          -P ${packaging_dir}/ManPage.cmake
  COMMAND gzip -9n -f ${man_page}
  DEPENDS ${man_source} ${packaging_dir}/ManPage.cmake
  VERBATIM)
add_custom_target(quorvane_man_page ALL DEPENDS ${man_page}.gz)
install(FILES ${man_page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The icon at the sizes desktops look for, scaled from the one the windows use.
set(icon_sizes 16 22 24 32 48 64 128 256)
set(icon_source ${PROJECT_SOURCE_DIR}/src/resources/quorvane.png)
add_executable(quorvane_icon_sizes ${packaging_dir}/IconSizes.cpp)
target_link_libraries(quorvane_icon_sizes PRIVATE Qt6::Gui)
set(icon_files)
foreach(size IN LISTS icon_sizes)
  list(APPEND icon_files ${generated_dir}/icons/${size}x${size}/apps/quorvane.png)
endforeach()
add_custom_command(
  OUTPUT ${icon_files}
  COMMAND quorvane_icon_sizes ${icon_source} ${generated_dir}/icons ${icon_sizes}
  DEPENDS quorvane_icon_sizes ${icon_source}
  VERBATIM)
add_custom_target(quorvane_icons ALL DEPENDS ${icon_files})
install(DIRECTORY ${generated_dir}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

install(FILES ${packaging_dir}/${QUORVANE_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${packaging_dir}/${QUORVANE_APP_ID}.metainfo.xml.in
               ${generated_dir}/${QUORVANE_APP_ID}.metainfo.xml @ONLY)
install(FILES ${generated_dir}/${QUORVANE_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The Debian package.
set(QUORVANE_PACKAGE_MAINTAINER "Quorvane maintainers <quorvane@tamsorel.invalid>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VENDOR Tamsorel)
set(CPACK_PACKAGE_CONTACT "${QUORVANE_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "load delimited text files into IBM DB2 tables")
# Debian's tools show the long description as it is: lines under 80 columns.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Quorvane loads a pile of delimited text files (CSV, tab-separated, or any\n"
  "separator of one or more characters) into IBM DB2 tables without writing\n"
  "SQL: one new table per file, its columns named from the file's first line,\n"
  "or every file appended to an existing table. The quorvane window and the\n"
  "quorvane-cli command run the same import.\n"
  "\n"
  "It connects through unixODBC to IBM's Data Server Driver for ODBC and CLI,\n"
  "registered as \"IBM DB2 ODBC DRIVER\" (installed separately, from IBM).\n"
  "The SQLite and MariaDB ODBC drivers can stand in for it to try it out.")
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beside what the programs link: the ODBC driver manager's configuration and
# tools, and Qt's platform plugins, without which no window opens.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "unixodbc, qt6-qpa-plugins")
# The windows are laid out for Arial's metrics; Liberation Sans has the same.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libsqliteodbc, odbc-mariadb")
include(CPack)
