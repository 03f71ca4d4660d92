# The hardening a Debian package gets from dpkg-buildflags, for every build
# of the game for Linux: a position-independent executable, the stack
# protector and stack clash protection, control-flow protection, format
# strings checked, fortified C library calls, and read-only relocations bound
# at start (full RELRO with BIND_NOW). Control-flow protection is the
# processor's own: CET on x86, pointer authentication and branch targets on
# 64-bit ARM (hints older processors pass over), none on 32-bit ARM. `hardening-check` from devscripts
# checks the packaged program (tests/e2e/package_test.py).
option(RALLIX_HARDEN "Build with the hardening flags of a Debian package" ON)

# For Windows with mingw-w64: address space layout randomisation with the
# whole 64-bit space, and no code run from data pages (binutils 2.36 and
# later set these three anyway), the stack protector, and format strings
# checked.
if(RALLIX_HARDEN AND WIN32 AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
  add_link_options(-fstack-protector-strong LINKER:--dynamicbase LINKER:--nxcompat
                   LINKER:--high-entropy-va)
  return()
endif()

if(NOT RALLIX_HARDEN OR NOT CMAKE_SYSTEM_NAME STREQUAL "Linux" OR EMSCRIPTEN)
  return()
endif()

include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

add_compile_options(-fstack-protector-strong -fstack-clash-protection -Wformat
                    -Werror=format-security)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|i.86)$")
  add_compile_options(-fcf-protection)
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64)$")
  add_compile_options(-mbranch-protection=standard)
endif()
# Fortified calls need the optimiser, and the sanitizers check the same
# calls themselves.
if(NOT RALLIX_SANITIZE)
  add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
endif()
add_link_options(LINKER:-z,relro LINKER:-z,now)
