# The Debian package: `cpack -G DEB` in the build folder makes tavrel_VERSION_ARCH.deb, installed
# under /usr. Its library dependencies are found by dpkg-shlibdeps (package dpkg-dev).
set(CPACK_PACKAGE_NAME tavrel)
set(CPACK_PACKAGE_VENDOR "Tavrel maintainers")
set(CPACK_PACKAGE_CONTACT "Tavrel maintainers <maintainers@users.noreply.c-seed-da39553a.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "guard the web browser against advertising windows")
# Paragraphs separated by an empty line; CPack indents them for the control file.
set(CPACK_PACKAGE_DESCRIPTION
    "Tavrel runs in the background behind a notification-area icon and watches
every window of the Chromium browser over the DevTools Protocol. It closes
windows whose title or address holds a word of its keyword list, refuses
windows that a page opens without a click or from a small window, and closes
small windows. It also manages cookie files, finds known spyware file names,
locks its configuration behind a password and can start with the desktop
session.

Its interface is in French.")
set(CPACK_GENERATOR DEB)
# Installed with DESTDIR into the staging folder, so that the install steps see the final
# prefix (/usr) and the launcher names /usr/bin/tavrel.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The browser it guards; Qt's Wayland platform and French dialog texts; xdg-open for links; the
# sound theme whose bell plays when the sound file cannot.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "chromium, qt6-wayland, qt6-translations-l10n, xdg-utils, sound-theme-freedesktop")
include(CPack)
