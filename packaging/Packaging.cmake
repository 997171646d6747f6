# The Debian package: both programs in the path, the menu entry with its
# icon; the libraries it needs are read from the binaries themselves.
include(GNUInstallDirs)
install(TARGETS zapo zapo-admin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/zapo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The menu shows the very picture the windows carry: one file, no second
# drawing to drift from it. (A scalable copy would need an SVG renderer at
# build or run time, which neither the build nor the package has.)
install(FILES ${CMAKE_SOURCE_DIR}/src/app/icons/zapo.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zapo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Prefeitura Municipal")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Identificação e esterilização animal do serviço municipal")
set(CPACK_PACKAGE_DESCRIPTION "Cadastro de proprietários e animais, microchips e vacinas, mapas de vagas e agenda\nde castrações, relatórios, carteirinhas e exportações dBASE.")
set(CPACK_PACKAGE_CONTACT "Serviço de informática da prefeitura <informatica@prefeitura.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so no binary names them: the database drivers.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-psql, libqt6sql6-odbc")
# Standard dialogs in Portuguese and the fonts the printed forms are laid out with.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-liberation, odbc-postgresql")
include(CPack)
