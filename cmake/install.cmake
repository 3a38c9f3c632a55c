# Install rules and packaging.
#
# The program file lies in a folder of its own, <prefix>/lib/menuvera, with the
# catalogues beside it (the sample and the national food table with its
# source and licence), because the file dialogs start in the program's
# folder. <prefix>/bin/menuvera is a relative symlink to it; the program finds
# its folder through the link, and starts under the user's own locale.
include(GNUInstallDirs)

set(MENUVERA_APP_ID example.menuvera.Menuvera)
# Not CMAKE_INSTALL_LIBDIR: on Debian that is the multiarch folder of the
# libraries, and the program is no library.
set(menuvera_program_dir lib/menuvera)

install(TARGETS menuvera RUNTIME DESTINATION ${menuvera_program_dir})
install(FILES ${MENUVERA_BESIDE_PROGRAM} DESTINATION ${menuvera_program_dir})
# Debian's place for the licences of what the package holds.
install(FILES ${PROJECT_SOURCE_DIR}/resources/debian/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/install)
file(CREATE_LINK ../${menuvera_program_dir}/menuvera ${PROJECT_BINARY_DIR}/install/menuvera SYMBOLIC)
install(FILES ${PROJECT_BINARY_DIR}/install/menuvera DESTINATION ${CMAKE_INSTALL_BINDIR})

set(menuvera_desktop ${PROJECT_SOURCE_DIR}/resources/desktop)
install(FILES ${menuvera_desktop}/${MENUVERA_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${menuvera_desktop}/${MENUVERA_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(menuvera_icons ${PROJECT_SOURCE_DIR}/resources/icons)
install(FILES ${menuvera_icons}/menuvera.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${MENUVERA_APP_ID}.svg)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${menuvera_icons}/menuvera-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${MENUVERA_APP_ID}.png)
endforeach()

# cpack -G DEB in the build folder makes the Debian package.
set(CPACK_PACKAGE_NAME menuvera)
set(CPACK_PACKAGE_VENDOR "Menuvera Software")
set(CPACK_PACKAGE_CONTACT "Menuvera Software <support@menuvera.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Ernährungsplaner für den Tag")
set(CPACK_PACKAGE_DESCRIPTION
    "Menuvera 2 führt einen Lebensmittelkatalog mit Kalorien, Eiweiß, Fett und\
 Kohlenhydraten je 100 g und stellt daraus den Ernährungsplan eines Tages aus\
 vier Mahlzeiten zusammen; er berechnet die Summen und druckt den Plan.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.menuvera.example/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the xcb platform
# plugin, the German texts of Qt's own dialogs and the faces the windows ask for.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, fonts-liberation")
set(CPACK_GENERATOR DEB)
include(CPack)
