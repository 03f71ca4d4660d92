# Cross-compiling for 32-bit ARM Linux with hardware floating point (Debian's
# armhf: ARMv7 and later, a Raspberry Pi with a 32-bit system, the older ARM
# handhelds) with Debian's g++-arm-linux-gnueabihf:
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/arm-linux-gnueabihf.cmake ...
set(CMAKE_SYSTEM_PROCESSOR armv7l)
set(RALLIX_CROSS_TRIPLE arm-linux-gnueabihf)
set(RALLIX_DEBIAN_ARCH armhf)
set(RALLIX_QEMU qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
# GCC notes every function whose arguments it passes as GCC 7 began to on
# 32-bit ARM: nothing here was built by an older one.
set(CMAKE_CXX_FLAGS_INIT -Wno-psabi)
