// The program's side of the two calls into the page's script that carry more
// than a number: the presses of the touch controls and gamepads, taken in
// batches, and the player's request with the demo file chosen, both read in
// the numbers the page was told (web/page_facts.h). EmscriptenPage makes
// the calls; these make sense of what they bring.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "web/page.h"
#include "web/web_keys.h"

namespace rallix::web {

// Copies up to `capacity` presses (source, virtual key, down) to `events`
// and says how many it copied.
using TakeButtons = std::function<int(int32_t* events, int capacity)>;
// Every press the page holds, oldest first; one from a source the page was
// not told of is dropped.
std::vector<ButtonEvent> ReadButtonEvents(const TakeButtons& take);

// Copies the chosen file's name, with its terminating zero, and its bytes.
using CopyDemoFile = std::function<void(char* name, int name_capacity, uint8_t* bytes)>;
// The request the page numbered `kind`, none for a number it was not told.
// Of a demo file, `sizes` are the lengths of its name in UTF-8 and of its
// bytes, -1 for a file that could not be read.
PageRequest ReadRequest(int kind, const int32_t (&sizes)[2], const CopyDemoFile& copy);

}  // namespace rallix::web
