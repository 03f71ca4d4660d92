// The copies a writer makes before it renames one over a file (files.h),
// named for their writer, and what a writer killed between the two left
// behind: found and removed through the standard library's view of the
// folder, alike on every system.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

#include "sdl/system/files.h"
#include "sdl/system/process.h"

namespace rallix {
namespace {

namespace fs = std::filesystem;

// A copy older than this is left over, whoever has its writer's number now.
constexpr std::chrono::hours kLeftOver{1};

bool Digits(std::string_view text) {
  return !text.empty() && text.size() <= 10 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The writer's process of the copy whose name ends in `tail` ("PID-COUNT"),
// or nothing for a name of another kind.
std::optional<unsigned long> WriterOf(std::string_view tail) {
  const size_t dash = tail.find('-');
  if (dash == std::string_view::npos || !Digits(tail.substr(0, dash)) ||
      !Digits(tail.substr(dash + 1))) {
    return std::nullopt;
  }
  return std::stoul(std::string(tail.substr(0, dash)));
}

}  // namespace

std::string CopyNameFor(const std::string& path, unsigned long process, unsigned count) {
  return path + ".new-" + std::to_string(process) + "-" + std::to_string(count);
}

void RemoveLeftoverCopies(const std::string& path) {
  const fs::path file = fs::u8path(path);
  const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
  const std::string prefix = CopyNameFor(file.filename().u8string(), 0, 0);
  const std::string_view start(prefix.data(), prefix.size() - 3);  // "NAME.new-"
  const auto now = fs::file_time_type::clock::now();
  std::error_code error;
  for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
       entry.increment(error)) {
    const std::string name = entry->path().filename().u8string();
    if (name.size() <= start.size() || name.compare(0, start.size(), start) != 0)
      continue;
    const std::optional<unsigned long> writer =
        WriterOf(std::string_view(name).substr(start.size()));
    std::error_code ignored;
    if (!writer || !entry->is_regular_file(ignored))
      continue;
    const fs::file_time_type written = entry->last_write_time(ignored);
    if (!ignored && (ProcessHasEnded(*writer) || now - written > kLeftOver))
      fs::remove(entry->path(), ignored);
  }
}

}  // namespace rallix
