# Cross-compiling for 64-bit ARM Linux (Debian's arm64: a Raspberry Pi 3, 4
# or 5 with a 64-bit system, most ARM handhelds) with Debian's
# g++-aarch64-linux-gnu:
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/aarch64-linux-gnu.cmake ...
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(RALLIX_CROSS_TRIPLE aarch64-linux-gnu)
set(RALLIX_DEBIAN_ARCH arm64)
set(RALLIX_QEMU qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
