# The libretro core on its own, for copying onto a handheld or into a
# frontend's folders: rallix_libretro-<version>-linux-<arch>.zip in
# RALLIX_CORE_ZIP_DIR, holding rallix_libretro.so, rallix_libretro.info and
# README.txt, which says where each goes. <arch> is Debian's name for the
# processor (arm64, armhf, amd64).
#   cmake --build <dir> --target core_zip     (scripts/build-arm.sh)
if(NOT TARGET rallix_libretro)
  return()
endif()

if(NOT RALLIX_DEBIAN_ARCH)
  execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE RALLIX_DEBIAN_ARCH
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
set(RALLIX_CORE_ZIP_DIR ${CMAKE_BINARY_DIR} CACHE PATH "Where the libretro core's zip is written")
set(RALLIX_CORE_ZIP_NAME rallix_libretro-${PROJECT_VERSION}-linux-${RALLIX_DEBIAN_ARCH}.zip)
set(RALLIX_CORE_ZIP_STAGE ${CMAKE_BINARY_DIR}/core-zip)
# The README names the processors and systems the core is for.
set(RALLIX_CORE_PROCESSOR "${CMAKE_SYSTEM_PROCESSOR}")
if(RALLIX_DEBIAN_ARCH STREQUAL "arm64")
  set(RALLIX_CORE_PROCESSOR "64-bit ARM (arm64, aarch64)")
elseif(RALLIX_DEBIAN_ARCH STREQUAL "armhf")
  set(RALLIX_CORE_PROCESSOR "32-bit ARM with hardware floating point (armhf, ARMv7 or later)")
elseif(RALLIX_DEBIAN_ARCH STREQUAL "amd64")
  set(RALLIX_CORE_PROCESSOR "64-bit PCs (x86-64)")
endif()
configure_file(${CMAKE_SOURCE_DIR}/packaging/libretro-readme.txt.in
               ${RALLIX_CORE_ZIP_STAGE}/README.txt @ONLY)

add_custom_command(
  OUTPUT ${RALLIX_CORE_ZIP_DIR}/${RALLIX_CORE_ZIP_NAME}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:rallix_libretro>
          ${RALLIX_LIBRETRO_INFO} ${RALLIX_CORE_ZIP_STAGE}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${RALLIX_CORE_ZIP_DIR}/${RALLIX_CORE_ZIP_NAME}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${RALLIX_CORE_ZIP_DIR}/${RALLIX_CORE_ZIP_NAME} --format=zip
          rallix_libretro.so rallix_libretro.info README.txt
  WORKING_DIRECTORY ${RALLIX_CORE_ZIP_STAGE}
  DEPENDS rallix_libretro ${RALLIX_LIBRETRO_INFO} ${RALLIX_CORE_ZIP_STAGE}/README.txt
  COMMENT "Packing ${RALLIX_CORE_ZIP_NAME}"
  VERBATIM)
add_custom_target(core_zip DEPENDS ${RALLIX_CORE_ZIP_DIR}/${RALLIX_CORE_ZIP_NAME})
