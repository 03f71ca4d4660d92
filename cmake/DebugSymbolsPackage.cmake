# Run by CPack after it has written the packages (CPACK_POST_BUILD_SCRIPTS in
# cmake/Packaging.cmake): mends the rallix-dbgsym package that CPack's DEB
# generator makes beside a package that is not split into components. CPack
# lists the debug file in md5sums by its path in CPack's staging folder, not in
# the package, so dpkg and debsums could never check it; and the package has
# no documentation folder. Debian's own -dbgsym packages point theirs at the
# main package's, which holds the copyright and the changelog.
foreach(package ${CPACK_PACKAGE_FILES})
  if(NOT package MATCHES "-dbgsym_[^/]*\\.ddeb$")
    continue()
  endif()
  set(work "${package}.mend")
  file(REMOVE_RECURSE "${work}")
  execute_process(COMMAND dpkg-deb -R "${package}" "${work}" COMMAND_ERROR_IS_FATAL ANY)

  file(STRINGS "${work}/DEBIAN/md5sums" sums)
  set(mended "")
  foreach(line ${sums})
    string(REGEX REPLACE "^([0-9a-f]+)  .*/(usr/lib/debug/.*)$" "\\1  \\2" line "${line}")
    string(APPEND mended "${line}\n")
  endforeach()
  file(WRITE "${work}/DEBIAN/md5sums" "${mended}")

  # Debug files are read, never run.
  file(GLOB_RECURSE debug_files "${work}/usr/lib/debug/*.debug")
  foreach(debug_file ${debug_files})
    file(CHMOD "${debug_file}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  endforeach()

  file(MAKE_DIRECTORY "${work}/usr/share/doc")
  file(CREATE_LINK rallix "${work}/usr/share/doc/rallix-dbgsym" SYMBOLIC)

  execute_process(COMMAND dpkg-deb --root-owner-group -Zxz -b "${work}" "${package}"
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${work}")
  if(EXISTS "${package}.sha256")
    file(SHA256 "${package}" sum)
    get_filename_component(name "${package}" NAME)
    file(WRITE "${package}.sha256" "${sum}  ${name}\n")
  endif()
endforeach()
