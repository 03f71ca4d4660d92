// Linked into the core only when it is linked against the C library of 2020
// (glibc 2.31, cmake/CoreLink.cmake). The C++ library linked into the core
// was built for a newer C library, and reads one variable that glibc has
// only from 2.32 on: whether the process runs a single thread, when it may
// leave out atomic operations. The core's own copy says it may run more,
// which is always safe.
extern "C" {
// NOLINTNEXTLINE(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp): the C library's name
char __libc_single_threaded = 0;
}
