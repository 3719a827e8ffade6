# The Debian package (scripts/package): CPack's DEB generator, with the run-time dependencies found
# by dpkg-shlibdeps from the libraries the binary really links, and Qt's platform plugins.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvalin)
set(CPACK_PACKAGE_VENDOR "The Orvalin developers")
set(CPACK_PACKAGE_CONTACT "Orvalin developers <dev@orvalin.app>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "insert today's date into the focused application")
set(CPACK_PACKAGE_DESCRIPTION
    "Orvalin lives in the system tray and inserts today's date, in a format\n\
of the user's choosing, into whatever application has the keyboard\n\
focus: type a trigger such as dt followed by a space anywhere, press a\n\
format's key combination, or click a format or a day of the tray panel's\n\
mini calendar. The date goes in through the clipboard, whose content\n\
comes back afterwards. It works with every X11 application, natively on\n\
wlroots Wayland compositors, and on GNOME and KDE Plasma as an IBus input\n\
source.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${ORVALIN_WEBSITE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's platform plugins are loaded, not linked, so dpkg-shlibdeps cannot find them: the X11 one, and
# the Wayland one for sessions without XWayland, where Qt has no other platform to start on.
# libibus-1.0-5 comes from dpkg-shlibdeps; the daemon is only needed where the IBus route is used.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "ibus")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_STRIP_FILES ON)
# Only what `cmake --install` puts under the prefix; no maintainer scripts are needed: the icon
# cache and desktop database are refreshed by their own dpkg triggers.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
