#include "base/number_text.h"

namespace rallix {

std::string PlainDecimal(int64_t value) {
  return std::to_string(value);
}

std::string SignedDecimal(int64_t value) {
  return value < 0 ? std::to_string(value) : " " + std::to_string(value);
}

std::string RightAligned(const std::string& text, size_t width) {
  std::string padded = std::string(width, ' ') + text;
  return padded.substr(padded.size() - width);
}

}  // namespace rallix
