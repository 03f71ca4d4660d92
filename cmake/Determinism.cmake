# What a recorded game needs of the compiler to replay to the same frames on
# every machine: the game's arithmetic in float and double is single IEEE
# operations, each rounded to its own type, which every target rounds alike
# (base/trig.h gives the one function that is not). Set here for every
# target, the desktop, Windows, the browser, the libretro cores on x86-64 and
# ARM, the tests and the fuzz targets alike, so that no new one goes without.
#
# - No contraction: a * b + c must not become one fused multiply-add, which
#   rounds once where the game rounds twice. GCC fuses by default wherever the
#   processor can (64-bit ARM always, x86-64 with FMA, 32-bit ARM's VFPv4);
#   clang within an expression.
# - No excess precision: every value is held in its own type. x87's registers
#   keep 80 bits, so 32-bit x86 computes in SSE2 instead; x86-64, ARM and
#   WebAssembly do so anyway. base/trig.cpp checks FLT_EVAL_METHOD == 0 when
#   it compiles.
add_compile_options(-ffp-contract=off)
# (Emscripten's toolchain calls its processor x86.)
if(NOT EMSCRIPTEN AND (CMAKE_SYSTEM_PROCESSOR MATCHES "^(i[3-6]86|x86)$" OR
   (CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64)$" AND CMAKE_SIZEOF_VOID_P EQUAL 4)))
  add_compile_options(-msse2 -mfpmath=sse)
endif()
