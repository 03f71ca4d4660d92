// hold_folder_lock: holds the game's lock on a folder when told to, so that
// the Wine test sees what the game does while another program holds it. It
// prints its process's number, then reads lines: "hold FOLDER" takes the
// lock on FOLDER and answers "held", "release" lets it go and answers
// "released". It ends with its input.
#include <windows.h>

#include <iostream>
#include <memory>
#include <string>

#include "sdl/system/files.h"

int main() {
  std::cout << GetCurrentProcessId() << std::endl;
  std::unique_ptr<rallix::FolderLock> lock;
  const std::string hold = "hold ";
  for (std::string line; std::getline(std::cin, line);) {
    if (line.compare(0, hold.size(), hold) == 0) {
      lock = std::make_unique<rallix::FolderLock>(line.substr(hold.size()));
      if (!lock->Held()) {
        std::cerr << "hold_folder_lock: " << lock->Error() << "\n";
        return 1;
      }
      std::cout << "held" << std::endl;
    } else if (line == "release") {
      lock.reset();
      std::cout << "released" << std::endl;
    }
  }
  return 0;
}
