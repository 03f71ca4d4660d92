# How the libretro core's shared object is linked (libretro/CMakeLists.txt
# calls rallix_link_core). A core is one file that players copy onto
# machines of every age and that a frontend built elsewhere loads, which says
# no more than that the core failed to load when something is missing: so it
# carries inside what a system may lack, shows the frontend its entry points
# alone and nothing else, and is stripped.
#
# For Windows it imports only Windows' own DLLs, as rallix.exe does. For
# Linux it needs the C library, libm and libgcc_s.so.1 (the unwinder, on
# every system; its static copy calls _dl_find_object, new in glibc 2.35),
# with the C++ library linked in: a frontend's system may hold an older
# libstdc++ than the compiler's, or none. Linked against the C library of
# Debian 11 (glibc 2.31, RALLIX_CORE_GLIBC, which
# scripts/fetch-glibc-sysroot.sh unpacks), it loads on the systems of 2020
# on: Debian 11, Raspberry Pi OS bullseye, Ubuntu 20.04 and the handheld
# firmwares built on them. Without that folder it is linked against the
# building system's C library, and loads on systems as new as it.
# Sanitized builds link the core as they link everything else.

set(RALLIX_CORE_GLIBC_DEFAULT "")
if(NOT WIN32 AND CMAKE_LIBRARY_ARCHITECTURE)
  execute_process(COMMAND sh ${CMAKE_SOURCE_DIR}/scripts/cache-dir.sh
                  OUTPUT_VARIABLE rallix_cache OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  set(rallix_glibc ${rallix_cache}/glibc-2.31/${CMAKE_LIBRARY_ARCHITECTURE})
  if(rallix_cache AND EXISTS ${rallix_glibc}/.unpacked)
    set(RALLIX_CORE_GLIBC_DEFAULT ${rallix_glibc})
  endif()
endif()
set(RALLIX_CORE_GLIBC "${RALLIX_CORE_GLIBC_DEFAULT}" CACHE PATH
    "An older C library, unpacked (scripts/fetch-glibc-sysroot.sh), for the libretro core to link against")

function(rallix_link_core target)
  if(WIN32)
    target_link_options(${target} PRIVATE -static LINKER:--strip-all)
    return()
  endif()
  # Only the retro_* entry points are seen from outside; the static
  # libraries' symbols stay inside.
  set(exports ${CMAKE_SOURCE_DIR}/libretro/exports.map)
  target_link_options(${target} PRIVATE LINKER:--version-script=${exports} LINKER:--no-undefined)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${exports})
  if(RALLIX_SANITIZE)
    return()
  endif()
  target_link_options(${target} PRIVATE -static-libstdc++ -shared-libgcc LINKER:--gc-sections)
  if(NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
    target_link_options(${target} PRIVATE LINKER:--strip-all)
  endif()
  if(RALLIX_CORE_GLIBC)
    set(lib ${CMAKE_LIBRARY_ARCHITECTURE})
    # The older C library's start files and libraries before the compiler's
    # own; the paths in its linker scripts lie inside the folder.
    target_link_options(${target} PRIVATE --sysroot=${RALLIX_CORE_GLIBC}
                        -B${RALLIX_CORE_GLIBC}/usr/lib/${lib}/ -L${RALLIX_CORE_GLIBC}/usr/lib/${lib}
                        -L${RALLIX_CORE_GLIBC}/lib/${lib})
    # What the compiler's C++ library asks of a newer C library, for the
    # C library of 2020.
    target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/libretro/older_glibc.cpp)
    message(STATUS "The libretro core links against the C library in ${RALLIX_CORE_GLIBC}")
  endif()
endfunction()
