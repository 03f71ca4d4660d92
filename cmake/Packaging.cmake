# The Debian package, built by CPack from the install rules of
# cmake/Install.cmake: `make package`, or
#   cpack -G DEB --config <build>/CPackConfig.cmake
# writes rallix_<version>_<arch>.deb into <build>/packages. The runtime
# dependencies (SDL2's library, the C and C++ libraries) come from
# dpkg-shlibdeps, so dpkg-dev and file must be installed.
if(NOT TARGET rallix)
  return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rallix)
set(CPACK_PACKAGE_VENDOR "The Rallix developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "paddle-and-ball arcade game against the computer")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_PACKAGE_CHECKSUM SHA256)

# The game in the package is stripped. With RALLIX_DEBUG_SYMBOLS_PACKAGE its
# debug symbols go into a package of their own beside it,
# rallix-dbgsym_<version>_<arch>.ddeb (CPack's DEB generator strips the game
# itself then, keeping what it took out; cmake/DebugSymbolsPackage.cmake mends
# what it gets wrong).
option(RALLIX_DEBUG_SYMBOLS_PACKAGE
       "Also write rallix-dbgsym, the game's debug symbols (needs a build with -g)" OFF)
if(RALLIX_DEBUG_SYMBOLS_PACKAGE)
  set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
  set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/DebugSymbolsPackage.cmake)
else()
  set(CPACK_STRIP_FILES ON)
endif()

# Installed under /usr, through DESTDIR, so that the install rules see /usr as
# their prefix and the desktop entry names /usr/bin/rallix.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_SET_DESTDIR ON)
# Everything `cmake --install` installs but its bin/rallix (component `game`),
# and the component `debian`: the game in /usr/games with its desktop entry,
# and the changelog.
set(CPACK_INSTALL_CMAKE_PROJECTS
    "${CMAKE_BINARY_DIR};Rallix;Unspecified;/"
    "${CMAKE_BINARY_DIR};Rallix;debian;/")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Cross-built (cmake/toolchains/), the package is for the architecture built
# for, and dpkg-shlibdeps finds the libraries the game needs among that
# architecture's packages, which multiarch installs (libsdl2-dev:arm64).
if(RALLIX_DEBIAN_ARCH)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${RALLIX_DEBIAN_ARCH})
endif()
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${RALLIX_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# CPack puts the summary above this as the description's first line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Rallix is a game for one player in a small window. You move a paddle along
the bottom of a walled court and return the ball against the computer's
paddle at the top. Each stage is a race to a number of points; win it for a
bonus and the next stage, up to the fifth. Points per stage, the computer's
skill, the ball's speed and both paddle sizes can be set in a menu.")

include(CPack)
