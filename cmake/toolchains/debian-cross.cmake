# What every cross-build for Linux on another processor shares, with Debian's
# cross compiler for RALLIX_CROSS_TRIPLE (Debian's architecture
# RALLIX_DEBIAN_ARCH; both set by the toolchain file that includes this one) against the packages of that architecture that
# multiarch installs beside the machine's own (libsdl2-dev:arm64, ...): the
# headers are the machine's, the libraries those in /usr/lib/<triple>.
# Programs built so run under qemu-user (RALLIX_QEMU) with that
# architecture's C and C++ libraries from multiarch (libstdc++6:arm64), as
# on such a system.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${RALLIX_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${RALLIX_CROSS_TRIPLE}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${RALLIX_CROSS_TRIPLE})
set(CMAKE_CROSSCOMPILING_EMULATOR ${RALLIX_QEMU})

# pkg-config reads the architecture's .pc files, not the machine's.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${RALLIX_CROSS_TRIPLE}/pkgconfig:/usr/share/pkgconfig)
