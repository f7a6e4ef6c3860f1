# SPDX-License-Identifier: GPL-3.0-or-later
# Desktop integration and the Debian package (cpack -G DEB).
include(GNUInstallDirs)

set(NTB_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
install(FILES ${NTB_PACKAGING_DIR}/ntbmelde.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${NTB_PACKAGING_DIR}/ntbmelde.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps)
install(FILES ${NTB_PACKAGING_DIR}/io.github.ntbmelde.ntbmelde.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${NTB_PACKAGING_DIR}/ntbmelde-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME ntbmelde.xml)
install(FILES ${PROJECT_SOURCE_DIR}/data/EXCHANGE.NT2 DESTINATION ${CMAKE_INSTALL_DATADIR}/ntbmelde)

set(CPACK_PACKAGE_NAME ntbmelde)
set(CPACK_PACKAGE_VENDOR "NtbMelde")
set(CPACK_PACKAGE_CONTACT "NtbMelde <support@ntbmelde.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Meldeprogramm für Schwimmvereine")
set(CPACK_PACKAGE_INSTALL_DIRECTORY /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6sql6-sqlite")
# German file and print dialogs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Erfasst Vereinsdaten und Meldungen für einen Schwimmwettkampf,\nprüft jede Meldung gegen ihren Wettkampf und schreibt die\nAustauschdatei EXCHANGE.NT2 für den Ausrichter.")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
include(CPack)
