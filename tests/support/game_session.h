// The whole program, headless: a scripted platform, the window's game and its
// frame loop, with readers for the grid and for the frame on screen.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

#include "game/form_main.h"
#include "game/main_loop.h"
#include "tests/support/screen_text.h"
#include "tests/support/scripted_platform.h"

namespace rallix::testing {

class GameSession {
 public:
  GameSession() : form(platform), loop(form, platform) { platform.state = &form.Record.State; }
  GameSession(const GameSession&) = delete;
  GameSession& operator=(const GameSession&) = delete;

  ScriptedPlatform platform;
  FormMain form;
  MainLoop loop;

  GameRecord& Record() { return form.Record; }
  const GameRecord& Record() const { return form.Record; }

  // Runs `count` more passes of the frame loop.
  LoopEnd Run(int64_t count = 1) { return loop.Run(count); }
  // Runs passes until `done` holds after one of them, at most `limit`
  // passes. Whether it came to hold.
  bool RunUntil(const std::function<bool(const GameRecord&)>& done, int64_t limit);
  // A fresh press: one pass with no key down, then one pass with `keys`
  // down. The keys stay held afterwards.
  void Press(std::initializer_list<uint8_t> keys);

  // `length` cells of the grid from (column, row) on (screen_text.h).
  std::string GridText(int column, int row, int length) const {
    return testing::GridText(Record().Screen.Grid, column, row, length);
  }
  // The twenty playing cells of a court row.
  std::string FieldRow(int row) const { return GridText(1, row, 20); }
  // Whether the last frame presented shows `text` from (column, row) on, read
  // with the game's own glyph sheet (screen_text.h).
  bool Shows(int column, int row, std::string_view text) const;
};

}  // namespace rallix::testing
