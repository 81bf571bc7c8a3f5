# Installation and the Debian package.
#
# The program looks for its data in the current folder first, then in
# <prefix>/share/lunotrop (found from the program's own folder), so a
# program started from the menu finds the shipped Earth data.
include(GNUInstallDirs)

install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/lunotrop
        FILES_MATCHING
        PATTERN "*.BIN" PATTERN "*.bin" PATTERN "*.DAT" PATTERN "*.txt" PATTERN "*.md")
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lunotrop.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lunotrop.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# Manual pages are installed compressed, as Debian expects.
set(manpage ${CMAKE_CURRENT_BINARY_DIR}/lunotrop.1.gz)
add_custom_command(OUTPUT ${manpage}
                   COMMAND gzip -n -9 -c ${PROJECT_SOURCE_DIR}/packaging/lunotrop.1 > ${manpage}
                   DEPENDS ${PROJECT_SOURCE_DIR}/packaging/lunotrop.1)
add_custom_target(manpage ALL DEPENDS ${manpage})
install(FILES ${manpage} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lunotrop)
set(CPACK_PACKAGE_VENDOR "Lunotrop")
set(CPACK_PACKAGE_CONTACT "Lunotrop <lunotrop@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Bewegung und Phasen des Mondes - Astronomie im Unterricht")
set(CPACK_PACKAGE_DESCRIPTION
    "Lunotrop zeigt, wie der Mond um die Erde laeuft und warum er Phasen hat:\n"
    "die Erde als Kugel von aussen und den Himmel des Beobachters von innen.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beyond the libraries the program links: Qt's platform plugins and the fonts
# that stand in for Courier and MS Sans Serif.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation")
include(CPack)
