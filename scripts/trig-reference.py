#!/usr/bin/env python3
"""Works out, at 300 bits with mpmath, the correctly rounded cosine and sine
of every direction the ball can be given in whole degrees: x = t * 3.141592 /
180 in doubles, for every 16-bit t. Prints the 64-bit FNV-1a digest of their
bits that tests/base/trig_test.cpp pins, the directions where this machine's
math.cos / math.sin (the C library's) round differently, and how close the
closest exact value comes to halfway between two doubles.

  trig-reference.py
"""

import math
import struct

import mpmath

mpmath.mp.prec = 300

FNV_OFFSET = 14695981039346656037
FNV_PRIME = 1099511628211


def nearest_double(exact):
    """The double nearest to `exact` (halves to the even one), and how far
    from halfway the exact value lies, in ulps (0.5 = on a double)."""
    guess = float(exact)
    below = math.nextafter(guess, -math.inf)
    above = math.nextafter(guess, math.inf)
    best = min((abs(mpmath.mpf(c) - exact), c) for c in (below, guess, above))[1]
    ulp = abs(mpmath.mpf(math.nextafter(best, math.inf)) - mpmath.mpf(best))
    margin = 0.5 - abs(mpmath.mpf(best) - exact) / ulp
    return best, margin


def main():
    digest = FNV_OFFSET
    closest = 1.0
    differences = []
    for t in range(-32768, 32768):
        x = t * 3.141592 / 180
        for name, exact_fn, library_fn in (("cos", mpmath.cos, math.cos),
                                           ("sin", mpmath.sin, math.sin)):
            value, margin = nearest_double(exact_fn(mpmath.mpf(x)))
            closest = min(closest, margin)
            if library_fn(x) != value:
                differences.append((name, t))
            for byte in struct.pack("<d", value):
                digest = ((digest ^ byte) * FNV_PRIME) % 2**64
    print(f"digest 0x{digest:016X}")
    print(f"closest to halfway: {mpmath.nstr(closest, 5)} ulp")
    print(f"{len(differences)} differ from the C library's; within +-1000:",
          [d for d in differences if abs(d[1]) <= 1000])


if __name__ == "__main__":
    main()
