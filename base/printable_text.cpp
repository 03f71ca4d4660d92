#include "base/printable_text.h"

#include <cstdint>
#include <cstdio>

namespace rallix {
namespace {

// The length of the UTF-8 sequence at the start of `text` and its code
// point; a length of 0 when it is not a valid, shortest sequence.
size_t DecodeUtf8(std::string_view text, uint32_t& code_point) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = byte(0);
  size_t length = 0;
  if (lead < 0x80) {
    code_point = lead;
    return 1;
  }
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code_point = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code_point = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code_point = lead & 0x07u;
  } else {
    return 0;
  }
  if (text.size() < length)
    return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80)
      return 0;
    code_point = (code_point << 6) | (byte(i) & 0x3Fu);
  }
  const uint32_t least[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (code_point < least[length] || code_point > 0x10FFFF ||
      (code_point >= 0xD800 && code_point <= 0xDFFF))
    return 0;
  return length;
}

bool Prints(uint32_t code_point) {
  if (code_point < 0x20 || (code_point >= 0x7F && code_point <= 0x9F))
    return false;  // control characters
  // The marks and overrides that turn the direction of what follows, and the
  // line and paragraph separators.
  return !(code_point == 0x061C || code_point == 0x200E || code_point == 0x200F ||
           (code_point >= 0x2028 && code_point <= 0x202E) ||
           (code_point >= 0x2066 && code_point <= 0x2069));
}

}  // namespace

std::string PrintableText(std::string_view text, size_t limit) {
  std::string shown;
  size_t characters = 0;
  char escape[16];
  while (!text.empty()) {
    if (characters == limit) {
      shown += "...";
      break;
    }
    uint32_t code_point = 0;
    const size_t length = DecodeUtf8(text, code_point);
    if (length == 0) {
      std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<uint8_t>(text[0]));
      shown += escape;
      text.remove_prefix(1);
    } else if (!Prints(code_point)) {
      if (code_point < 0x80)
        std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(code_point));
      else
        std::snprintf(escape, sizeof escape, "\\u{%04X}", static_cast<unsigned>(code_point));
      shown += escape;
      text.remove_prefix(length);
    } else {
      shown.append(text.substr(0, length));
      text.remove_prefix(length);
    }
    ++characters;
  }
  return shown;
}

}  // namespace rallix
