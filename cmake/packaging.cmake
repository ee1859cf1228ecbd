# SPDX-License-Identifier: MIT
# Installation under the prefix, and a Debian package of it (cpack -G DEB): both programs, the
# man page, and the dialog program's icon and desktop entry.
include(GNUInstallDirs)

install(TARGETS credcipher credcipher-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Man pages are installed compressed, as Debian has them (-n: no time stamp, the same bytes
# every build).
set(man_page ${CMAKE_BINARY_DIR}/credcipher-cli.1.gz)
add_custom_command(OUTPUT ${man_page}
                   COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/cli/credcipher-cli.1 > ${man_page}
                   DEPENDS ${PROJECT_SOURCE_DIR}/cli/credcipher-cli.1)
add_custom_target(man_page ALL DEPENDS ${man_page})
install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/app/res/credcipher.png
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/32x32/apps)
install(FILES ${PROJECT_SOURCE_DIR}/app/res/credcipher.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME credcipher)
set(CPACK_PACKAGE_VENDOR credcipher)
set(CPACK_PACKAGE_CONTACT "credcipher maintainers <credcipher@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Encrypt and decrypt credential fields for configuration files")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "credcipher turns an account name and a password into cipher text and back, in a dialog
 (credcipher, shown in the terminal) and on the command line (credcipher-cli). The cipher text
 is one AES-128 block under a key built into the tool: it keeps credentials from casual eyes,
 and is no protection against anyone who has the program.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # credcipher_<version>_<architecture>.deb
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)   # Depends from the programs' shared libraries
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
