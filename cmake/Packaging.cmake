# The Debian package of the game and the replay tool, built by `cpack -G DEB`.
# Its dependencies come from the libraries the installed binaries really link (dpkg-shlibdeps),
# plus the CJK font that the window's captions and messages are set in.

set(CPACK_PACKAGE_NAME tavrin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Tavrin developers")
set(CPACK_PACKAGE_CONTACT "The Tavrin developers <dev@tavrin.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Reversi on a 16 x 16 board against the computer")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "You play white and the computer answers every move at once with black. Finished games "
    "can be saved as move records and checked or shown again with tavrin-replay.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Tavrin developers <dev@tavrin.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.tavrin.example/")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Appended to what dpkg-shlibdeps finds: the font is read at run time, not linked, and libcurl
# from 7.87 on, whose fetches that give up leave a hanging name lookup behind (CURLOPT_QUICK_EXIT)
# rather than wait for it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-arphic-uming, libcurl4 (>= 7.87.0)")
# Qt's own buttons and dialogs in Chinese; the game runs without them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")

include(CPack)
