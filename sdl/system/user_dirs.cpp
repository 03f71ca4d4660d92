// The XDG user-dirs file: lines of NAME="VALUE", with spaces allowed around
// the "="; the value, between the opening quote and the closing one, either
// an absolute path or one under "$HOME/", with "\" taking the next character
// as it is; anything after the closing quote, a comment say, is not read.
// "#" at the start of a line makes it a comment.
#include "sdl/system/user_folders.h"

#include <optional>
#include <sstream>

namespace rallix {
namespace {

constexpr char kPictures[] = "XDG_PICTURES_DIR";

// The quoted value that `line` gives the name `name`, without its quotes and
// escapes; nothing for a line that gives it none.
std::optional<std::string> ValueOf(const std::string& line, const std::string& name) {
  size_t at = line.find_first_not_of(" \t");
  if (at == std::string::npos || line.compare(at, name.size(), name) != 0)
    return std::nullopt;
  at = line.find_first_not_of(" \t", at + name.size());
  if (at == std::string::npos || line[at] != '=')
    return std::nullopt;
  at = line.find_first_not_of(" \t", at + 1);
  if (at == std::string::npos || line[at] != '"')
    return std::nullopt;
  std::string value;
  for (++at; at < line.size(); ++at) {
    if (line[at] == '"')
      return value;
    if (line[at] == '\\' && at + 1 < line.size())
      ++at;
    value += line[at];
  }
  return std::nullopt;  // no closing quote
}

}  // namespace

std::string PicturesFolderOfUserDirs(const std::string& user_dirs, const std::string& home_given) {
  std::string home = home_given;
  while (home.size() > 1 && home.back() == '/')
    home.pop_back();
  std::istringstream lines(user_dirs);
  std::string found;
  for (std::string line; std::getline(lines, line);) {
    std::optional<std::string> named = ValueOf(line, kPictures);
    if (!named)
      continue;
    std::string& value = *named;
    if (value.rfind("$HOME", 0) == 0 && (value.size() == 5 || value[5] == '/')) {
      if (home.empty())
        continue;
      value = home + value.substr(5);
    } else if (value.empty() || value[0] != '/') {
      continue;
    }
    while (value.size() > 1 && value.back() == '/')
      value.pop_back();
    found = value;  // the last line that says so counts
  }
  return found == home ? "" : found;
}

}  // namespace rallix
