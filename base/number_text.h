// The two number-to-text conversions of the screens and the right-aligned field.
#pragma once

#include <cstdint>
#include <string>

namespace rallix {

// Plain decimal text: a "-" before a negative number, no leading space.
std::string PlainDecimal(int64_t value);
// Signed decimal text: a space before a number that is not negative.
std::string SignedDecimal(int64_t value);
// `width` spaces put in front of text, then the rightmost `width` characters.
std::string RightAligned(const std::string& text, size_t width);

}  // namespace rallix
