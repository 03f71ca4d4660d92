// Text from outside the program (an argument, a file or folder name) made
// safe to print in one line of a terminal: it cannot move the cursor, change
// colours, end the line or flood the screen.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace rallix {

// `text` as it may be printed: valid UTF-8 that prints stays as it is; each
// control character (C0, DEL, C1), each character that turns the direction
// of the line, and each byte that is not part of valid UTF-8 is written as
// \xNN (its bytes), or \u{NNNN} (a code point); and when more than `limit`
// characters would be printed, the first `limit` are followed by "...".
std::string PrintableText(std::string_view text, size_t limit = 80);

}  // namespace rallix
