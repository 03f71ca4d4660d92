# rallix.exe, cross-compiled with mingw-w64 (scripts/build-windows.sh): a
# windowed program (no console window), its entry WinMain from SDL2main,
# which hands main() the command line in UTF-8; everything linked in
# statically (SDL2, the C++ runtime, libgcc and winpthread), so that it
# imports only Windows' own DLLs; no debug symbols; and its icon and version
# as Windows resources. Included by sdl/CMakeLists.txt for WIN32 builds.
enable_language(RC)

set_target_properties(rallix PROPERTIES WIN32_EXECUTABLE ON)
target_link_libraries(rallix PRIVATE SDL2::SDL2main SDL2::SDL2)
target_link_options(rallix PRIVATE -static LINKER:--strip-all)

set(RALLIX_WINDOWS_ICON ${CMAKE_SOURCE_DIR}/assets/rallix.ico
    CACHE FILEPATH "The program's icon (made by tools/make_icon)")
if(NOT EXISTS ${RALLIX_WINDOWS_ICON})
  message(FATAL_ERROR
    "The program's icon ${RALLIX_WINDOWS_ICON} is missing. It is made by the asset tools in "
    "tools/; generate it and configure again.")
endif()
configure_file(${CMAKE_SOURCE_DIR}/packaging/rallix.rc.in ${CMAKE_CURRENT_BINARY_DIR}/rallix.rc
               @ONLY)
target_sources(rallix PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/rallix.rc)
# The resource is compiled again when the icon changes.
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/rallix.rc PROPERTIES
  OBJECT_DEPENDS ${RALLIX_WINDOWS_ICON})
