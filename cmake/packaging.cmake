# SPDX-License-Identifier: MIT
# Installation under the prefix: both programs, their man pages, and the dialog program's
# desktop entry, AppStream metadata and icons. libcredcipher installs its own files (lib/).
# debian/ packages what this installs.
include(GNUInstallDirs)

install(TARGETS credcipher credcipher-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/app/credcipher.1 ${PROJECT_SOURCE_DIR}/cli/credcipher-cli.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(res ${PROJECT_SOURCE_DIR}/app/res)
install(FILES ${res}/credcipher.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${res}/org.example.credcipher.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
foreach(size 16 32 48 64 128)
    install(FILES ${res}/icons/credcipher-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps
            RENAME credcipher.png)
endforeach()
install(FILES ${res}/icons/credcipher.svg
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
