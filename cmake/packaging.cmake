# The Debian package: `cpack -G DEB` in the build folder makes marlisk_<version>_amd64.deb
# with both programs, the desktop entry, the icon, a manual page for each program and the
# window's HTML manual. Its
# dependencies are the shared libraries the binaries use (dpkg-shlibdeps) and the font
# that has the characters no other installed font has (the print-option dialog's "：").

# Manual pages, compressed as Debian installs them.
set(marlisk_man_pages "")
foreach(page marlisk.1 marlisk-cli.1)
    set(source ${PROJECT_SOURCE_DIR}/man/${page})
    set(packed ${PROJECT_BINARY_DIR}/man/${page}.gz)
    add_custom_command(OUTPUT ${packed}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
        COMMAND gzip -9 -n -c ${source} > ${packed}
        DEPENDS ${source}
        COMMENT "Compressing the manual page ${page}")
    list(APPEND marlisk_man_pages ${packed})
endforeach()
add_custom_target(marlisk_man ALL DEPENDS ${marlisk_man_pages})
install(FILES ${marlisk_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The HTML manual that Help > Help opens; a copy beside the program in the build folder
# serves a program run from there.
install(FILES ${PROJECT_SOURCE_DIR}/man/marlisk.html DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/marlisk)
configure_file(${PROJECT_SOURCE_DIR}/man/marlisk.html ${PROJECT_BINARY_DIR}/marlisk.html COPYONLY)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME marlisk)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Marlisk")
set(CPACK_PACKAGE_CONTACT "Marlisk developers <marlisk@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Barcode generator: Code 39, EAN-13, EAN-8, UPC-A, UPC-E")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Draws Code 39, EAN-13, EAN-8, UPC-A and UPC-E symbols (EAN/UPC with a 2- or 5-digit\n"
    "add-on), copies them to the clipboard and prints them at their physical size.\n"
    "marlisk-cli builds the same symbols without a window.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-droid-fallback")
# Label sheets read the label database; a few sheets are built in without it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "glabels-data")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
