# Where `cmake --install` puts the game, all relative to the prefix:
#   bin/rallix                             the game (games/ in the Debian
#                                          package)
#   share/rallix/*.WAV                     the four sounds
#   share/applications/net.rallix.Rallix.desktop    the desktop entry
#   share/metainfo/net.rallix.Rallix.metainfo.xml   what software centres show
#   share/icons/hicolor/<n>x<n>/apps/net.rallix.Rallix.png, n = 16 ... 256
#   share/man/man6/rallix.6.gz             the manual page
#   share/doc/rallix/copyright
#   lib/<triplet>/libretro/rallix_libretro.so   the libretro core
#   share/libretro/info/rallix_libretro.info    what frontends read of it
# The game finds its sounds from where it lies (../share/rallix, see
# sdl/sound/folders.h), so it may be started from anywhere and the installed
# tree may be moved as a whole.
if(NOT TARGET rallix)
  return()
endif()

include(GNUInstallDirs)

set(RALLIX_APP_ID net.rallix.Rallix)
set(RALLIX_INSTALL_SOUNDS_DIR ${CMAKE_INSTALL_DATADIR}/rallix)
set(RALLIX_INSTALL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/rallix)
set(RALLIX_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(RALLIX_PACKAGING_BUILD_DIR ${CMAKE_BINARY_DIR}/packaging)

# For packagers: the project's homepage, which software centres link to and
# from which they fetch the screenshots (the four PNGs of docs/, published in
# its screenshots/ folder). The project names no site of its own: without one
# the metainfo has neither homepage nor screenshots.
set(RALLIX_HOMEPAGE_URL ""
    CACHE STRING "The project's homepage; the screenshots are at <homepage>/screenshots/")
set(RALLIX_PACKAGE_MAINTAINER "Rallix developers <rallix@example.org>"
    CACHE STRING "The package's maintainer, as 'Name <address>'")

# Directories made by the installation are drwxr-xr-x whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# The installed game finds its libraries where the system keeps them: no RPATH.
set_target_properties(rallix PROPERTIES INSTALL_RPATH "")

# The libretro core where libretro frontends look for cores: Debian's
# RetroArch looks in /usr/lib/<triplet>/libretro, and for what it says of a
# core before loading it in /usr/share/libretro/info.
if(TARGET rallix_libretro)
  if(CMAKE_LIBRARY_ARCHITECTURE)
    set(RALLIX_INSTALL_LIBRETRO_DIR lib/${CMAKE_LIBRARY_ARCHITECTURE}/libretro)
  else()
    set(RALLIX_INSTALL_LIBRETRO_DIR ${CMAKE_INSTALL_LIBDIR}/libretro)
  endif()
  install(TARGETS rallix_libretro LIBRARY DESTINATION ${RALLIX_INSTALL_LIBRETRO_DIR})
  install(FILES ${RALLIX_LIBRETRO_INFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/libretro/info)
endif()

# The game's sounds (cmake/GameSounds.cmake).
foreach(sound ${RALLIX_SOUNDS})
  install(FILES ${RALLIX_SOUND_DIR}/${sound} DESTINATION ${RALLIX_INSTALL_SOUNDS_DIR})
endforeach()

# The icon at every size the tool draws it (assets/icon-<n>.png).
foreach(size 16 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/assets/icon-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${RALLIX_APP_ID}.png)
endforeach()

# The game in `dir`, with the desktop entry that starts it, as component
# `component`. The entry names the game by its absolute path, so it is written
# at install time, for the prefix installed to (`cmake --install --prefix`, or
# /usr when CPack builds the package).
function(rallix_install_game dir component)
  install(TARGETS rallix RUNTIME DESTINATION ${dir} COMPONENT ${component} ${ARGN})
  install(CODE "
    set(RALLIX_DESKTOP_TEMPLATE \"${RALLIX_PACKAGING_DIR}/${RALLIX_APP_ID}.desktop.in\")
    set(RALLIX_DESKTOP_WORK_DIR \"${RALLIX_PACKAGING_BUILD_DIR}/${component}\")
    set(RALLIX_BINDIR \"${dir}\")
    set(RALLIX_APPLICATIONS_DIR \"${CMAKE_INSTALL_DATADIR}/applications\")
    include(\"${CMAKE_SOURCE_DIR}/cmake/DesktopEntry.cmake\")
  " COMPONENT ${component} ${ARGN})
endfunction()

# bin/rallix for `cmake --install`. Debian keeps games in /usr/games: the
# package takes the game from the component `debian` instead (see
# cmake/Packaging.cmake), which `cmake --install` leaves out. Both lie one
# folder below the prefix, so ../share/rallix is the sounds' folder for both.
rallix_install_game(${CMAKE_INSTALL_BINDIR} game)
rallix_install_game(games debian EXCLUDE_FROM_ALL)

# The manual page, the package's changelog and the metainfo. The changelog's
# newest entry and the newest release of the metainfo are dated by
# SOURCE_DATE_EPOCH when set, else by the last commit, else now: configuring
# again does not change them.
configure_file(${RALLIX_PACKAGING_DIR}/rallix.6.in ${RALLIX_PACKAGING_BUILD_DIR}/rallix.6 @ONLY)
set(RALLIX_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
if(NOT RALLIX_DATE_EPOCH)
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(
      COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
      WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
      OUTPUT_VARIABLE RALLIX_DATE_EPOCH
      OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
endif()
if(RALLIX_DATE_EPOCH MATCHES "^[0-9]+$")
  set(rallix_saved_epoch "$ENV{SOURCE_DATE_EPOCH}")
  set(ENV{SOURCE_DATE_EPOCH} "${RALLIX_DATE_EPOCH}")
  string(TIMESTAMP RALLIX_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
  string(TIMESTAMP RALLIX_RELEASE_DATE "%Y-%m-%d" UTC)
  if(rallix_saved_epoch STREQUAL "")
    unset(ENV{SOURCE_DATE_EPOCH})
  else()
    set(ENV{SOURCE_DATE_EPOCH} "${rallix_saved_epoch}")
  endif()
else()
  string(TIMESTAMP RALLIX_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
  string(TIMESTAMP RALLIX_RELEASE_DATE "%Y-%m-%d" UTC)
endif()
configure_file(${RALLIX_PACKAGING_DIR}/changelog.in ${RALLIX_PACKAGING_BUILD_DIR}/changelog @ONLY)

set(RALLIX_METAINFO_WEB "")
if(RALLIX_HOMEPAGE_URL)
  string(REGEX REPLACE "/+$" "" RALLIX_HOMEPAGE_URL_TRIMMED "${RALLIX_HOMEPAGE_URL}")
  set(RALLIX_SCREENSHOTS_URL "${RALLIX_HOMEPAGE_URL_TRIMMED}/screenshots")
  file(READ ${RALLIX_PACKAGING_DIR}/metainfo-web.xml.in rallix_web)
  string(CONFIGURE "${rallix_web}" RALLIX_METAINFO_WEB @ONLY)
endif()
configure_file(${RALLIX_PACKAGING_DIR}/${RALLIX_APP_ID}.metainfo.xml.in
               ${RALLIX_PACKAGING_BUILD_DIR}/${RALLIX_APP_ID}.metainfo.xml @ONLY)
install(FILES ${RALLIX_PACKAGING_BUILD_DIR}/${RALLIX_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The manual page and the changelog compressed as Debian wants them (gzip -n:
# no name or time stamp, so the same text gives the same bytes).
find_program(RALLIX_GZIP gzip REQUIRED)
set(RALLIX_COMPRESSED)
foreach(name rallix.6 changelog)
  set(text ${RALLIX_PACKAGING_BUILD_DIR}/${name})
  add_custom_command(
    OUTPUT ${text}.gz
    COMMAND ${RALLIX_GZIP} -9 -n -c ${text} > ${text}.gz
    DEPENDS ${text}
    COMMENT "Compressing ${name}")
  list(APPEND RALLIX_COMPRESSED ${text}.gz)
endforeach()
add_custom_target(rallix_packaging_files ALL DEPENDS ${RALLIX_COMPRESSED})

install(FILES ${RALLIX_PACKAGING_BUILD_DIR}/rallix.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${RALLIX_PACKAGING_DIR}/copyright DESTINATION ${RALLIX_INSTALL_DOC_DIR})
# Only the Debian package carries its changelog. Rallix is packaged by its own
# developers (a native package), so the file is changelog.gz.
install(FILES ${RALLIX_PACKAGING_BUILD_DIR}/changelog.gz
        DESTINATION ${RALLIX_INSTALL_DOC_DIR} COMPONENT debian EXCLUDE_FROM_ALL)
