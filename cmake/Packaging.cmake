# `make package`: a Debian package whose dependencies are the runtime libraries only
# (found by dpkg-shlibdeps from the executable), libcurl (loaded at run time, so invisible to
# dpkg-shlibdeps) and the font the game renders text with.
set(CPACK_PACKAGE_NAME zebrolite)
set(CPACK_PACKAGE_VENDOR "The Zebrolite project")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ball-and-bricks arcade game")
set(CPACK_PACKAGE_DESCRIPTION "A full-screen ball-and-bricks arcade game drawn for a 240 x 320 portrait
screen and shown pixel-exact: seven brick kinds, fire chains, fourteen falling
items, three levels a game and a shared table of the best scores. With it
comes zebrolite-scored, the score server that the players of a home, a club
or the internet share, and its systemd unit (not enabled).")
set(CPACK_PACKAGE_CONTACT "The Zebrolite project <zebrolite@localhost>")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, libcurl4 | libcurl3-gnutls")
set(CPACK_GENERATOR DEB)
include(CPack)
