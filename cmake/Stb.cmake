# stb's single-file libraries (Debian's libstb-dev), header-only: PNG is
# written with stb_image_write and read back in the tests with stb_image.
# Each file that uses one compiles its functions for itself
# (STB_IMAGE_WRITE_STATIC), so nothing needs to be built or linked for
# Linux, Windows or the browser alike. Seen as system headers: their own
# warnings are not ours.
find_path(RALLIX_STB_INCLUDE_DIR stb_image_write.h PATHS /usr/include/stb
          NO_CMAKE_FIND_ROOT_PATH DOC "The folder holding stb_image_write.h (libstb-dev)")
if(NOT RALLIX_STB_INCLUDE_DIR)
  message(FATAL_ERROR
    "stb_image_write.h was not found: install Debian's libstb-dev (make deps does), or point "
    "RALLIX_STB_INCLUDE_DIR at the folder that holds stb's headers.")
endif()
add_library(rallix_stb INTERFACE)
target_include_directories(rallix_stb SYSTEM INTERFACE ${RALLIX_STB_INCLUDE_DIR})
