// What the page's script must know of the program, handed to it once at
// start-up (web/library/page.js reads it) so that each fact is written in
// one place: the screen's size, the game's keys by the names the touch
// controls carry, the runs, requests and sources of presses as the program
// numbers them, the largest demo file it reads and the sounds in the order
// the build packs them into rallix.data.
#pragma once

#include <string>

namespace rallix::web {

// The facts as one JSON object.
std::string PageFacts();

}  // namespace rallix::web
