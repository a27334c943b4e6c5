# What `cmake --install` puts where the FHS expects it, and the Debian package built from it with
# `cpack -G DEB`. Only the program, its manual page and its desktop integration are installed:
# the delivered .ini files are embedded in the program, and the tests, the demo portal and the
# benchmark stay in the build tree. tools/check-package.sh checks the result.
include(GNUInstallDirs)

set(MOZHOU_APP_ID org.example.mozhou)

install(TARGETS mozhou RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/${MOZHOU_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/mozhou.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/data/${MOZHOU_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The manual page, compressed as manual pages are installed (-n: no name or time in the file).
find_program(MOZHOU_GZIP gzip REQUIRED)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/mozhou.1.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/data/mozhou.1 ${PROJECT_BINARY_DIR}/mozhou.1
    COMMAND ${MOZHOU_GZIP} -9nf ${PROJECT_BINARY_DIR}/mozhou.1
    DEPENDS ${PROJECT_SOURCE_DIR}/data/mozhou.1
    VERBATIM)
add_custom_target(mozhou_manual ALL DEPENDS ${PROJECT_BINARY_DIR}/mozhou.1.gz)
install(FILES ${PROJECT_BINARY_DIR}/mozhou.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_PACKAGE_NAME mozhou)
set(CPACK_PACKAGE_VENDOR "The Mozhou developers")
set(CPACK_PACKAGE_CONTACT "Mozhou packagers <packages@mozhou.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reader for Chinese-language news (墨舟)")
# The long description of the .deb, one line of the control file each.
set(CPACK_PACKAGE_DESCRIPTION "Mozhou fetches the daily archive and the hot news of a news portal
and turns them into headline lists: browse them by day, filter them by your
own keywords, by a search box or by category, open them in your browser,
save articles as clean pages, keep favorites and have the headlines read
aloud.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://mozhou.example.org/")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION news)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps finds the shared libraries (Qt 6, libespeak-ng, the C++ runtime); what the
# program loads or reads at run time is named here: the SVG plugins that draw its icon, the
# Mandarin voice data and a font with Chinese glyphs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, espeak-ng-data, fonts-wqy-microhei")
# Native windows under Wayland; without it Qt falls back to XWayland. Headlines, comment pages,
# the web site and the mail to a friend open through xdg-open: without it, outside a full desktop,
# opening a headline only says "无法打开地址" and the mail program never comes up.
# Qt's own texts in the window (the edit menus of text boxes, the scroll bars' menus) are read
# from its Chinese translation; without it they stay English.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, xdg-utils, qt6-translations-l10n")

include(CPack)

# Installs into a temporary folder and builds the .deb, then checks the files (see the script).
add_test(NAME package_files COMMAND ${PROJECT_SOURCE_DIR}/tools/check-package.sh ${PROJECT_BINARY_DIR})
set_tests_properties(package_files PROPERTIES TIMEOUT 300 ENVIRONMENT "LC_ALL=C.UTF-8")
