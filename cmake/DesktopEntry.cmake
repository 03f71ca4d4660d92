# Run by `cmake --install` (see cmake/Install.cmake): writes the desktop entry
# for the prefix being installed to and installs it. Expects
# RALLIX_DESKTOP_TEMPLATE (<id>.desktop.in), RALLIX_DESKTOP_WORK_DIR,
# RALLIX_BINDIR and RALLIX_APPLICATIONS_DIR, the last two relative to the
# prefix or absolute.

function(rallix_installed_path out path)
  if(NOT IS_ABSOLUTE "${path}")
    set(path "${CMAKE_INSTALL_PREFIX}/${path}")
  endif()
  cmake_path(NORMAL_PATH path)
  set(${out} "${path}" PARENT_SCOPE)
endfunction()

rallix_installed_path(game "${RALLIX_BINDIR}/rallix")
rallix_installed_path(applications "${RALLIX_APPLICATIONS_DIR}")

# Exec= is split at spaces unless the program is quoted, and inside quotes
# four characters are escaped with a backslash.
if(game MATCHES "[ \t\"'\\\\><~|&;$*?#()`]")
  string(REPLACE "\\" "\\\\" quoted "${game}")
  string(REPLACE "\"" "\\\"" quoted "${quoted}")
  string(REPLACE "`" "\\`" quoted "${quoted}")
  string(REPLACE "$" "\\$" quoted "${quoted}")
  set(game "\"${quoted}\"")
endif()
# In a desktop entry's values a backslash is itself escaped, and in Exec= a
# percent sign is doubled.
string(REPLACE "\\" "\\\\" RALLIX_DESKTOP_EXEC "${game}")
string(REPLACE "%" "%%" RALLIX_DESKTOP_EXEC "${RALLIX_DESKTOP_EXEC}")

# One folder per destination: two installs at once (CPack's staging folders,
# a test's) do not meet.
string(MD5 destination_key "$ENV{DESTDIR}|${CMAKE_INSTALL_PREFIX}")
get_filename_component(entry_name "${RALLIX_DESKTOP_TEMPLATE}" NAME)
string(REGEX REPLACE "\\.in$" "" entry_name "${entry_name}")
set(entry "${RALLIX_DESKTOP_WORK_DIR}/desktop-${destination_key}/${entry_name}")
configure_file("${RALLIX_DESKTOP_TEMPLATE}" "${entry}" @ONLY)
file(INSTALL "${entry}" DESTINATION "${applications}"
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
get_filename_component(entry_dir "${entry}" DIRECTORY)
file(REMOVE_RECURSE "${entry_dir}")
