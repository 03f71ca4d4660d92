#include "tests/e2e/programs/faulty_platform.h"

#include <sstream>

#include "base/run_time_error.h"

namespace rallix::e2e {

bool FaultyPlatform::ProcessMessages() {
  ++passes_;
  return Inner().ProcessMessages();
}

void FaultyPlatform::GetKeyboardState(KeySnapshot& keys) {
  Inner().GetKeyboardState(keys);
  if (plan_.failing_snapshots.count(++snapshots_) != 0) {
    ++errors_raised_;
    RaiseOverflow();
  }
}

void FaultyPlatform::Present(const Surface& frame) {
  if (plan_.failing_presentations.count(++presentations_) != 0) {
    ++errors_raised_;
    RaiseSubscriptOutOfRange();
  }
  Inner().Present(frame);
}

bool ParseCallNumbers(const std::string& text, std::set<int64_t>& numbers) {
  if (text.empty() || text.back() == ',')
    return false;
  std::istringstream in(text);
  std::string item;
  while (std::getline(in, item, ',')) {
    if (item.empty() || item.find_first_not_of("0123456789") != std::string::npos ||
        item.size() > 12) {
      return false;
    }
    const int64_t number = std::stoll(item);
    if (number < 1)
      return false;
    numbers.insert(number);
  }
  return !numbers.empty();
}

}  // namespace rallix::e2e
