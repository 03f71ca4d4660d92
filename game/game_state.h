// A state of the running game: everything that decides what it does and
// shows from its next pass on, each field named once, here, for whoever
// keeps a state and whoever takes one back (demo/state_format.h writes and
// reads them). The lists hold
//   the game record with its text screen (the grid, the cursor and both
//   queues) and its random source; the two paddle tables are the game's
//   constants (FillPaddleTables) and are not kept;
//   the frame loop's passes and trap;
//   what the pictures follow from (Compositor::Drawn and LastFrame): the
//   grid the background shows and the last frame composed. The pictures are
//   composed again from them; no pixel is kept.
// Each field comes with the values the game can give it, and GameStateFault
// names what does not go together: a state outside them is none the game
// could have reached.
//
// A list calls, for each field in its order, one of
//   v.Number(name, field, least, most)  an integer
//   v.Flag(name, field)                 a bool
//   v.Real(name, field, least, most)    a double: finite, least to most
//   v.Random(name, source)              the random source's state
//   v.Grid(name, grid, like)            a grid of characters the game prints
//                                       ('\0', or ' ' to '~'), which mostly
//                                       equals the grid `like`
//   v.Queue(name, entries, most, area)  at most `most` glyphs inside `area`
//   v.Count(name, count, entries)       a queue's count, in step with it
//   v.Constant(name, field)             a field the game never changes
// on fields that are const when a state is written and not when it is read.
#pragma once

#include <cstddef>
#include <cstdint>

#include "display/compositor.h"
#include "display/text_screen.h"
#include "game/game_record.h"
#include "game/main_loop.h"

namespace rallix {

// Where queued glyphs may lie: columns and rows in the cell queue, the
// centre's pixels in the pixel queue.
struct SpriteArea {
  int16_t least_x;
  int16_t most_x;
  int16_t least_y;
  int16_t most_y;
};
constexpr SpriteArea kGridArea{0, kGridColumns - 1, 0, kGridRows - 1};
// The ball never leaves the walled court (columns 0 to 21, rows 0 to 24) by
// more than a few moves past the player's row: it is taken within 8 cells
// of it.
constexpr SpriteArea kBallArea{-128, 22 * 16 + 128, -128, 25 * 16 + 128};
constexpr double kMostBallSpeed = 8;  // a velocity is BallSpeed long, 4 or 8

// The high score a game starts with, and the best it can score: five stages
// of ten points at 100 each, each won with a bonus of at most
// (10 + 10 - 0) x (stage x 1000).
constexpr int32_t kLeastHiScore = 30000;
constexpr int32_t kMostScore = 5 * 10 * 100 + 20 * 1000 * (1 + 2 + 3 + 4 + 5);
constexpr int32_t kMostPoints = 10;     // the largest SET COUNT
constexpr int16_t kMostStage = 5;       // "YOU ARE CHAMPION"
constexpr int16_t kMostPaddleX = 18;    // the largest MaxX of a paddle kind
constexpr int16_t kMostMenuCursor = 5;  // "EXIT", the configuration's last item
// 2^40 passes of 17 ms: some 590 years.
constexpr int64_t kMostPasses = int64_t{1} << 40;

// A pass queues at most the two paddles, each erased and drawn (four texts
// of at most seven cells), and the ball. A pass cut short by the loop's
// trap leaves its queues to the next, so a frame composes at most two
// passes' worth.
constexpr size_t kMostPassCells = 28;
constexpr size_t kMostPassSprites = 1;
constexpr size_t kMostFrameCells = 2 * kMostPassCells;
constexpr size_t kMostFrameSprites = 2 * kMostPassSprites;

// The walls of the court and nothing else (game/court.cpp), which most grids
// mostly show.
const TextGrid& WalledCourt();

template <typename Visit, typename Screen>
void TextScreenFields(Visit& v, Screen& s) {
  v.Grid("the grid", s.Grid, WalledCourt());
  v.Number("CursorX", s.CursorX, 0, kGridColumns - 1);
  v.Number("CursorY", s.CursorY, 0, kGridRows - 1);
  v.Queue("CellSprites", s.CellSprites, kMostPassCells, kGridArea);
  v.Count("CellSpriteCount", s.CellSpriteCount, s.CellSprites);
  v.Queue("PixelSprites", s.PixelSprites, kMostPassSprites, kBallArea);
  v.Count("PixelSpriteCount", s.PixelSpriteCount, s.PixelSprites);
}

template <typename Visit, typename Record>
void GameRecordFields(Visit& v, Record& r) {
  TextScreenFields(v, r.Screen);
  v.Number("HiScore", r.HiScore, kLeastHiScore, kMostScore);
  v.Number("Score", r.Score, 0, kMostScore);
  v.Number("PlayerPoints", r.PlayerPoints, 0, kMostPoints);
  v.Number("ComPoints", r.ComPoints, 0, kMostPoints);
  v.Number("State", r.State, kStateTitle, kStateConfig);
  v.Real("BallX", r.BallX, kBallArea.least_x, kBallArea.most_x);
  v.Real("BallY", r.BallY, kBallArea.least_y, kBallArea.most_y);
  v.Real("BallVX", r.BallVX, -kMostBallSpeed, kMostBallSpeed);
  v.Real("BallVY", r.BallVY, -kMostBallSpeed, kMostBallSpeed);
  v.Number("PlayerX", r.PlayerX, 0, kMostPaddleX);
  v.Number("ComX", r.ComX, 0, kMostPaddleX);
  v.Number("Stage", r.Stage, 0, kMostStage);
  v.Number("StateEntered", r.StateEntered, kTrue, kFalse);
  v.Constant("PlayerPaddles", r.PlayerPaddles);
  v.Constant("ComPaddles", r.ComPaddles);
  v.Number("KeyLatchUp", r.KeyLatchUp, kTrue, kFalse);
  v.Number("KeyLatchDown", r.KeyLatchDown, kTrue, kFalse);
  v.Number("KeyLatchSpace", r.KeyLatchSpace, kTrue, kFalse);
  v.Number("MenuCursor", r.MenuCursor, 0, kMostMenuCursor);
  v.Number("SetCount", r.SetCount, 2, kMostPoints);
  v.Number("BallSpeed", r.BallSpeed, 4, 8);
  v.Number("Level", r.Level, 1, 5);
  v.Number("PlayerPaddleKind", r.PlayerPaddleKind, 0, 2);
  v.Number("ComPaddleKind", r.ComPaddleKind, 0, 2);
  v.Random("Random", r.Random);
}

// A composed frame, whose background mostly shows the grid `like`.
template <typename Visit, typename Frame>
void ComposedFrameFields(Visit& v, Frame& frame, const TextGrid& like) {
  v.Grid("a frame's background", frame.background, like);
  v.Queue("a frame's cells", frame.cells, kMostFrameCells, kGridArea);
  v.Queue("a frame's sprites", frame.sprites, kMostFrameSprites, kBallArea);
}

template <typename Visit, typename Record, typename Loop, typename Grid, typename Frame>
void GameStateFields(Visit& v, Record& record, Loop& loop, Grid& drawn, Frame& last) {
  GameRecordFields(v, record);
  v.Number("the passes", loop.passes, 0, kMostPasses);
  v.Flag("the trap armed", loop.trap_armed);
  v.Flag("the trap spent", loop.trap_spent);
  v.Grid("the background", drawn, record.Screen.Grid);
  ComposedFrameFields(v, last, drawn);
}

// What in a state the game could not have reached though each field holds
// a value it can take, or null when nothing.
const char* GameStateFault(const GameRecord& record, const LoopState& loop);

}  // namespace rallix
