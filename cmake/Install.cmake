# Where `cmake --install` puts the game, all relative to the prefix:
#   bin/rallix                           a launcher that starts the game in
#                                        the folder of its sounds (games/
#                                        in the Debian package)
#   libexec/rallix/rallix                the game itself
#   share/rallix/*.WAV                   the four sounds
#   share/applications/rallix.desktop    the desktop entry (Path= the sounds)
#   share/icons/hicolor/{16x16,32x32}/apps/rallix.png
#   share/man/man6/rallix.6.gz           the manual page
#   share/doc/rallix/copyright
# The game looks its sounds up in the working directory. A desktop entry's
# Path= sets it, but not every launcher honours Path=, and a terminal user
# starts the game from anywhere: bin/rallix is a shell script that changes to
# the sounds folder first, and both the entry and the PATH lead to it.
if(NOT TARGET rallix)
  return()
endif()

include(GNUInstallDirs)

set(RALLIX_INSTALL_GAME_DIR ${CMAKE_INSTALL_LIBEXECDIR}/rallix)
set(RALLIX_INSTALL_SOUNDS_DIR ${CMAKE_INSTALL_DATADIR}/rallix)
set(RALLIX_INSTALL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/rallix)
set(RALLIX_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(RALLIX_PACKAGING_BUILD_DIR ${CMAKE_BINARY_DIR}/packaging)

# Directories made by the installation are drwxr-xr-x whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS rallix RUNTIME DESTINATION ${RALLIX_INSTALL_GAME_DIR})

# The sounds that sdl/ copies beside the game in the build tree.
get_directory_property(RALLIX_INSTALLED_SOUNDS DIRECTORY ${CMAKE_SOURCE_DIR}/sdl
                       DEFINITION RALLIX_SOUNDS)
if(NOT RALLIX_INSTALLED_SOUNDS)
  message(FATAL_ERROR "sdl/CMakeLists.txt no longer names the game's sounds in RALLIX_SOUNDS")
endif()
foreach(sound ${RALLIX_INSTALLED_SOUNDS})
  install(FILES ${RALLIX_SOUND_DIR}/${sound} DESTINATION ${RALLIX_INSTALL_SOUNDS_DIR})
endforeach()

foreach(size 16 32)
  install(FILES ${CMAKE_SOURCE_DIR}/assets/icon-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME rallix.png)
endforeach()

# The launcher reaches the game and the sounds by paths relative to its own
# folder, so the installed tree may be moved as a whole.
function(rallix_path_from out from_dir path)
  foreach(var from_dir path)
    if(NOT IS_ABSOLUTE ${${var}})
      set(${var} ${CMAKE_INSTALL_PREFIX}/${${var}})
    endif()
  endforeach()
  file(RELATIVE_PATH relative ${from_dir} ${path})
  set(${out} ${relative} PARENT_SCOPE)
endfunction()

# The launcher in `dir`, with its desktop entry, as component `component`.
# The desktop entry names the launcher and the sounds folder by absolute
# paths, so it is written at install time, for the prefix installed to
# (`cmake --install --prefix`, or /usr when CPack builds the package).
function(rallix_install_launcher dir component)
  rallix_path_from(RALLIX_BIN_TO_SOUNDS ${dir} ${RALLIX_INSTALL_SOUNDS_DIR})
  rallix_path_from(RALLIX_BIN_TO_GAME ${dir} ${RALLIX_INSTALL_GAME_DIR}/rallix)
  set(work_dir ${RALLIX_PACKAGING_BUILD_DIR}/${component})
  configure_file(${RALLIX_PACKAGING_DIR}/rallix.in ${work_dir}/rallix @ONLY)
  install(PROGRAMS ${work_dir}/rallix DESTINATION ${dir} COMPONENT ${component} ${ARGN})
  install(CODE "
    set(RALLIX_DESKTOP_TEMPLATE \"${RALLIX_PACKAGING_DIR}/rallix.desktop.in\")
    set(RALLIX_DESKTOP_WORK_DIR \"${work_dir}\")
    set(RALLIX_BINDIR \"${dir}\")
    set(RALLIX_SOUNDS_DIR \"${RALLIX_INSTALL_SOUNDS_DIR}\")
    set(RALLIX_APPLICATIONS_DIR \"${CMAKE_INSTALL_DATADIR}/applications\")
    include(\"${CMAKE_SOURCE_DIR}/cmake/DesktopEntry.cmake\")
  " COMPONENT ${component} ${ARGN})
endfunction()

# bin/rallix for `cmake --install`. Debian keeps games in /usr/games: the
# package takes the launcher from the component `debian` instead (see
# cmake/Packaging.cmake), which `cmake --install` leaves out.
rallix_install_launcher(${CMAKE_INSTALL_BINDIR} launcher)
rallix_install_launcher(games debian EXCLUDE_FROM_ALL)

# The manual page and the package's changelog, compressed as Debian wants them
# (gzip -n: no name or time stamp, so the same text gives the same bytes).
configure_file(${RALLIX_PACKAGING_DIR}/rallix.6.in ${RALLIX_PACKAGING_BUILD_DIR}/rallix.6 @ONLY)
set(RALLIX_PACKAGE_MAINTAINER "Rallix developers <rallix@example.org>"
    CACHE STRING "The package's maintainer, as 'Name <address>'")
# The changelog is dated by SOURCE_DATE_EPOCH when set, else by the last
# commit, else now: configuring again does not change it.
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
  if(rallix_saved_epoch STREQUAL "")
    unset(ENV{SOURCE_DATE_EPOCH})
  else()
    set(ENV{SOURCE_DATE_EPOCH} "${rallix_saved_epoch}")
  endif()
else()
  string(TIMESTAMP RALLIX_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
endif()
configure_file(${RALLIX_PACKAGING_DIR}/changelog.in ${RALLIX_PACKAGING_BUILD_DIR}/changelog @ONLY)
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
