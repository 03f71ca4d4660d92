# The Windows game as one zip, rallix-<version>-windows-x64.zip in
# RALLIX_ZIP_DIR, holding one folder, Rallix-<version>: rallix.exe, the four
# sounds beside it, README.txt and LICENSE.txt (with Windows' line ends), and
# the libretro core, rallix_libretro.dll, with its rallix_libretro.info.
# `cmake --build <dir> --target windows_zip`; scripts/build-windows.sh
# (`make windows`) puts it in build/windows.
if(NOT TARGET rallix)
  return()
endif()

set(RALLIX_ZIP_DIR ${CMAKE_BINARY_DIR} CACHE PATH "Where the Windows zip is written")
set(RALLIX_ZIP_NAME rallix-${PROJECT_VERSION}-windows-x64.zip)
set(RALLIX_ZIP_FOLDER Rallix-${PROJECT_VERSION})
set(RALLIX_ZIP_ROOT ${CMAKE_BINARY_DIR}/zip)
set(RALLIX_ZIP_STAGE ${RALLIX_ZIP_ROOT}/${RALLIX_ZIP_FOLDER})
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows-readme.txt.in
               ${RALLIX_ZIP_STAGE}/README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(${CMAKE_SOURCE_DIR}/LICENSE ${RALLIX_ZIP_STAGE}/LICENSE.txt @ONLY
               NEWLINE_STYLE CRLF)

set(RALLIX_ZIP_FILES)
foreach(file rallix.exe ${RALLIX_SOUNDS} README.txt LICENSE.txt rallix_libretro.dll
             rallix_libretro.info)
  list(APPEND RALLIX_ZIP_FILES ${RALLIX_ZIP_FOLDER}/${file})
endforeach()
set(RALLIX_ZIP_COPIES)
set(RALLIX_ZIP_SOUND_FILES)
foreach(sound ${RALLIX_SOUNDS})
  list(APPEND RALLIX_ZIP_COPIES COMMAND ${CMAKE_COMMAND} -E copy_if_different
       ${RALLIX_SOUND_DIR}/${sound} ${RALLIX_ZIP_STAGE}/${sound})
  list(APPEND RALLIX_ZIP_SOUND_FILES ${RALLIX_SOUND_DIR}/${sound})
endforeach()
add_custom_command(
  OUTPUT ${RALLIX_ZIP_DIR}/${RALLIX_ZIP_NAME}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:rallix>
          ${RALLIX_ZIP_STAGE}/rallix.exe
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:rallix_libretro>
          ${RALLIX_LIBRETRO_INFO} ${RALLIX_ZIP_STAGE}
  ${RALLIX_ZIP_COPIES}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${RALLIX_ZIP_DIR}/${RALLIX_ZIP_NAME}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${RALLIX_ZIP_DIR}/${RALLIX_ZIP_NAME} --format=zip
          ${RALLIX_ZIP_FILES}
  WORKING_DIRECTORY ${RALLIX_ZIP_ROOT}
  DEPENDS rallix rallix_libretro ${RALLIX_LIBRETRO_INFO} ${RALLIX_ZIP_SOUND_FILES} ${RALLIX_ZIP_STAGE}/README.txt
          ${RALLIX_ZIP_STAGE}/LICENSE.txt
  COMMENT "Packing ${RALLIX_ZIP_NAME}"
  VERBATIM)
add_custom_target(windows_zip DEPENDS ${RALLIX_ZIP_DIR}/${RALLIX_ZIP_NAME})
