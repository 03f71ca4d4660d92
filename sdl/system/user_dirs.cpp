// The XDG user-dirs file: lines of NAME="VALUE", the value either an absolute
// path or one under "$HOME/", with "\" escaping the next character; "#"
// starts a comment.
#include "sdl/system/user_folders.h"

#include <sstream>

namespace rallix {

std::string PicturesFolderOfUserDirs(const std::string& user_dirs, const std::string& home_given) {
  std::string home = home_given;
  while (home.size() > 1 && home.back() == '/')
    home.pop_back();
  std::istringstream lines(user_dirs);
  std::string found;
  for (std::string line; std::getline(lines, line);) {
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, 17, "XDG_PICTURES_DIR=") != 0)
      continue;
    const size_t open = start + 17;
    const size_t close = line.rfind('"');
    if (open >= line.size() || line[open] != '"' || close <= open)
      continue;
    std::string value;
    for (size_t i = open + 1; i < close; ++i) {
      if (line[i] == '\\' && i + 1 < close)
        ++i;
      value += line[i];
    }
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
