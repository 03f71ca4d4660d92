// The picture in the window surface (SDL's dummy video driver, whose surface
// is plain memory): black and white, only the changed cells sent, and the
// whole picture again whenever the window gets a new surface or asks for a
// repaint; black all around a scaled or cut picture; the pause's mark.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "sdl/app/desktop_platform.h"
#include "sdl/video/presenter.h"
#include "tests/support/dummy_window.h"

namespace {

// Whether the window system refuses the cells sent to the window: this
// program stands in for the SDL call that sends them.
bool cells_refused = false;

}  // namespace

extern "C" int SDL_UpdateWindowSurfaceRects(SDL_Window* window, const SDL_Rect* rects, int count) {
  using Real = int (*)(SDL_Window*, const SDL_Rect*, int);
  static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "SDL_UpdateWindowSurfaceRects"));
  return cells_refused ? SDL_SetError("refused") : real(window, rects, count);
}

namespace rallix {
namespace {

using Presenter = testing::DummyWindowTest;

TEST_F(Presenter, FramesShowBlackAndWhiteAndOnlyChangedCellsAreRedrawn) {
  Scribble();
  SdlPresenter(window_).Repaint();
  EXPECT_EQ(PixelAt(320, 240), 0x000000u) << "a repaint before any frame shows black";
  SdlPresenter presenter(window_);
  Surface frame;
  frame.Set(10, 20, kWhite);
  frame.Set(11, 20, 7);  // any index but 0 shows white
  presenter.Present(frame);
  EXPECT_EQ(PixelAt(10, 20), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(11, 20), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(12, 20), 0x000000u);
  EXPECT_EQ(presenter.FramesShown(), 1);
  EXPECT_EQ(presenter.WholeFramesShown(), 1);

  // The same frame again changes nothing, so nothing is sent.
  Scribble();
  presenter.Present(frame);
  EXPECT_EQ(presenter.FramesShown(), 1);
  EXPECT_EQ(PixelAt(300, 300), kScribble);

  // One changed cell: only that cell is drawn.
  frame.Set(300, 300, kWhite);
  presenter.Present(frame);
  EXPECT_EQ(presenter.FramesShown(), 2);
  EXPECT_EQ(presenter.WholeFramesShown(), 1);
  EXPECT_EQ(PixelAt(300, 300), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(301, 300), 0x000000u);
  EXPECT_EQ(PixelAt(10, 20), kScribble) << "a cell that did not change was redrawn";

  // A repaint shows the last frame again, whole.
  presenter.Repaint();
  EXPECT_EQ(presenter.WholeFramesShown(), 2);
  EXPECT_EQ(PixelAt(10, 20), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(0, 0), 0x000000u);

  // The window changes size and back: SDL makes a new surface, which the
  // next frame fills whole, unasked.
  SDL_SetWindowSize(window_, 320, 240);
  SDL_SetWindowSize(window_, 640, 480);
  frame.Set(6, 5, kWhite);
  presenter.Present(frame);
  EXPECT_EQ(presenter.WholeFramesShown(), 3);
  EXPECT_EQ(PixelAt(600, 400), 0x000000u);
  EXPECT_EQ(PixelAt(6, 5), 0xFFFFFFu);
}

TEST_F(Presenter, AScaledPictureIsWholeBlocksWithBlackOnAllFourSidesAndCellsStayInPlace) {
  // 1301 x 975 holds the picture twice (1280 x 960) with 21 columns and
  // 15 rows to spare: 10 and 11 columns left and right, 7 and 8 rows above
  // and below.
  SDL_SetWindowSize(window_, 1301, 975);
  Scribble();
  SdlPresenter presenter(window_);
  Surface frame;
  frame.Fill(kWhite);
  frame.Set(0, 0, kBlack);
  presenter.Present(frame);
  ASSERT_EQ(presenter.Place(), (PicturePlace{2, 10, 7}));
  // Picture pixel (0, 0) is the block from (10, 7) to (11, 8).
  EXPECT_EQ(PixelAt(11, 8), 0x000000u);
  EXPECT_EQ(PixelAt(12, 7), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(1289, 966), 0xFFFFFFu);
  for (const auto& [x, y] : {std::pair{9, 500},
                             {0, 500},
                             {1290, 500},
                             {1300, 500},
                             {600, 6},
                             {600, 0},
                             {600, 967},
                             {600, 974},
                             {0, 0},
                             {1300, 974}}) {
    EXPECT_EQ(PixelAt(x, y), 0x000000u) << "black around the picture, at " << x << ", " << y;
  }

  // A changed cell is drawn at its scaled place and nothing else is.
  Scribble();
  frame.Set(5 * 16 + 3, 2 * 16, kBlack);
  presenter.Present(frame);
  EXPECT_EQ(presenter.WholeFramesShown(), 1);
  EXPECT_EQ(PixelAt(10 + 2 * 83, 7 + 2 * 32), 0x000000u);
  EXPECT_EQ(PixelAt(10 + 2 * 83 + 1, 7 + 2 * 32 + 1), 0x000000u);
  EXPECT_EQ(PixelAt(10 + 2 * 80, 7 + 2 * 32), 0xFFFFFFu) << "the cell's other pixels";
  EXPECT_EQ(PixelAt(10 + 2 * 96, 7 + 2 * 32), kScribble) << "the next cell was redrawn";
}

TEST_F(Presenter, APictureWiderThanTheSurfaceIsCutAtItsRightEdgeAndCentredUpAndDown) {
  // 600 x 600: the picture at 1x from the left edge, its last 40 columns
  // cut off, 60 rows of black above and below.
  SDL_SetWindowSize(window_, 600, 600);
  Scribble();
  SdlPresenter presenter(window_);
  Surface frame;
  frame.Set(0, 0, kWhite);
  frame.Set(599, 479, kWhite);
  frame.Set(600, 479, kWhite);
  presenter.Present(frame);
  ASSERT_EQ(presenter.Place(), (PicturePlace{1, 0, 60}));
  EXPECT_EQ(PixelAt(0, 60), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(599, 539), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(598, 539), 0x000000u);
  EXPECT_EQ(PixelAt(0, 59), 0x000000u);
  EXPECT_EQ(PixelAt(599, 540), 0x000000u);
  EXPECT_EQ(PixelAt(599, 599), 0x000000u);

  // A changed cell across the cut is drawn up to it; one past it draws
  // nothing, and neither disturbs the rest.
  Scribble();
  frame.Set(37 * 16 + 4, 0, kWhite);  // column 596 of cell 37, 592 to 607
  frame.Set(38 * 16, 16, kWhite);     // cell 38, wholly cut off
  presenter.Present(frame);
  EXPECT_EQ(PixelAt(596, 60), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(599, 60), 0x000000u);
  EXPECT_EQ(PixelAt(591, 60), kScribble);
  EXPECT_EQ(PixelAt(0, 60), kScribble);
  EXPECT_EQ(presenter.FramesShown(), 2);
  EXPECT_EQ(presenter.WholeFramesShown(), 1);
}

TEST_F(Presenter, ANewSizeRepaintsWholeAtOnceAndLaterFramesSendOnlyTheirChangedCells) {
  SdlSound sound;
  SdlPlatform platform(window_, sound);
  platform.ProcessMessages();  // the window's showing
  Surface frame;
  frame.Set(0, 0, kWhite);
  platform.Present(frame);
  const long whole = platform.Presenter().WholeFramesShown();

  // The window's new size comes as an event: the picture is placed anew and
  // shown whole, before any new frame.
  SDL_SetWindowSize(window_, 1301, 975);
  Scribble();
  EXPECT_TRUE(platform.ProcessMessages());
  EXPECT_EQ(platform.Presenter().Place(), (PicturePlace{2, 10, 7}));
  EXPECT_EQ(platform.Presenter().WholeFramesShown(), whole + 1);
  EXPECT_EQ(PixelAt(11, 8), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(12, 7), 0x000000u);
  EXPECT_EQ(PixelAt(5, 5), 0x000000u);

  Scribble();
  frame.Set(320, 240, kWhite);
  platform.Present(frame);
  EXPECT_EQ(platform.Presenter().WholeFramesShown(), whole + 1);
  EXPECT_EQ(PixelAt(10 + 640, 7 + 480), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(10, 7), kScribble) << "an unchanged cell was drawn again";
}

TEST_F(Presenter, CellsTheWindowSystemRefusedAreOwedAndTheNextFrameShowsWhole) {
  SdlPresenter presenter(window_);
  Surface frame;
  presenter.Present(frame);
  const long whole = presenter.WholeFramesShown();
  frame.Set(100, 100, kWhite);
  cells_refused = true;
  presenter.Present(frame);
  cells_refused = false;
  // The same frame again, not written to since: shown whole all the same.
  Scribble();
  presenter.Present(frame);
  EXPECT_EQ(presenter.WholeFramesShown(), whole + 1);
  EXPECT_EQ(PixelAt(100, 100), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(300, 300), 0x000000u);
}

TEST_F(Presenter, TheWindowsRepaintEventsShowTheLastFrameWholeAndAnotherWindowsDoNot) {
  SdlSound sound;
  SdlPlatform platform(window_, sound);
  platform.ProcessMessages();  // the window's showing
  Surface frame;
  frame.Set(100, 100, kWhite);
  platform.Present(frame);
  long whole = platform.Presenter().WholeFramesShown();
  for (const Uint8 event :
       {SDL_WINDOWEVENT_EXPOSED, SDL_WINDOWEVENT_SHOWN, SDL_WINDOWEVENT_RESTORED,
        SDL_WINDOWEVENT_RESIZED, SDL_WINDOWEVENT_SIZE_CHANGED}) {
    Scribble();
    PushWindowEvent(event);
    EXPECT_TRUE(platform.ProcessMessages());
    EXPECT_EQ(platform.Presenter().WholeFramesShown(), ++whole) << "event " << int{event};
    EXPECT_EQ(PixelAt(100, 100), 0xFFFFFFu) << "event " << int{event};
    EXPECT_EQ(PixelAt(101, 100), 0x000000u) << "event " << int{event};
  }
  Scribble();
  PushWindowEvent(SDL_WINDOWEVENT_EXPOSED, SDL_GetWindowID(window_) + 1);
  PushWindowEvent(SDL_WINDOWEVENT_MOVED);
  EXPECT_TRUE(platform.ProcessMessages());
  EXPECT_EQ(platform.Presenter().WholeFramesShown(), whole);
  EXPECT_EQ(PixelAt(100, 100), kScribble);
}

TEST_F(Presenter, WhilePausedAMarkShowsInTheBorderOrInABoxOverTheBlankCornerAndGoesOnResume) {
  SdlPresenter presenter(window_);
  Surface frame;
  frame.Fill(kWhite);
  for (int y = 0; y < 40; ++y) {
    for (int x = 480; x < kScreenWidth; ++x)
      frame.Set(x, y, kBlack);  // the blank corner right of the status panel
  }
  // 1x with no border: a box with a white frame over the blank corner,
  // (528, 8) to (624, 24) for the six glyphs with 4 pixels around them.
  presenter.Present(frame);
  presenter.ShowMarks({"PAUSED"});
  EXPECT_EQ(presenter.MarkAreas().at(0).x, 523);
  EXPECT_EQ(presenter.MarkAreas().at(0).y, 3);
  EXPECT_EQ(PixelAt(523, 3), 0xFFFFFFu) << "the frame";
  EXPECT_EQ(PixelAt(524, 4), 0x000000u) << "inside it";
  EXPECT_EQ(PixelAt(479, 3), 0xFFFFFFu) << "the picture beside it";
  presenter.ShowMarks({});
  EXPECT_EQ(PixelAt(523, 3), 0x000000u) << "gone on resume";

  // 1920 x 1080 holds the picture at 2x, 60 rows below the top: the mark
  // at 2x in that border, centred, (864, 14) to (1056, 46).
  SDL_SetWindowSize(window_, 1920, 1080);
  presenter.Repaint();
  presenter.ShowMarks({"PAUSED"});
  EXPECT_EQ(presenter.Place(), (PicturePlace{2, 320, 60}));
  EXPECT_EQ(presenter.MarkAreas().at(0).x, 864);
  EXPECT_EQ(presenter.MarkAreas().at(0).y, 14);
  long white = 0;
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 1920; ++x)
      white += PixelAt(x, y) == 0xFFFFFFu ? 1 : 0;
  }
  EXPECT_GT(white, 0);
  EXPECT_EQ(PixelAt(320, 60), 0xFFFFFFu) << "the picture as it was";
  EXPECT_EQ(PixelAt(1279 + 320, 60), 0x000000u) << "its blank corner as it was";
  presenter.ShowMarks({});
  for (int y = 0; y < 60; ++y) {
    for (int x = 800; x < 1100; ++x)
      ASSERT_EQ(PixelAt(x, y), 0x000000u) << "gone on resume, at " << x << ", " << y;
  }

  // 1280 x 1008 holds it at 2x too, under a border of 24 rows: too thin for
  // the mark at 2x (48 rows with a quarter glyph each way), just enough at
  // 1x, centred, (592, 4) to (688, 20).
  SDL_SetWindowSize(window_, 1280, 1008);
  presenter.Repaint();
  presenter.ShowMarks({"PAUSED"});
  EXPECT_EQ(presenter.Place(), (PicturePlace{2, 0, 24}));
  const SDL_Rect mark = presenter.MarkAreas().at(0);
  EXPECT_EQ((std::vector<int>{mark.x, mark.y, mark.w, mark.h}), (std::vector<int>{592, 4, 96, 16}));
}

TEST_F(Presenter, MarksStackInTheCornerAndStayOnTopOfTheCellsDrawnUnderThem) {
  SdlPresenter presenter(window_);
  Surface frame;
  presenter.Present(frame);
  presenter.ShowMarks({"PAUSED", "MUTED"});
  ASSERT_EQ(presenter.MarkAreas().size(), 2u);
  // MUTED's box 30 pixels below PAUSED's, right-aligned as it is: five
  // glyphs from (544, 38) to (624, 54), its frame from (539, 33) to (628, 58).
  EXPECT_EQ(presenter.MarkAreas()[1].x, 539);
  EXPECT_EQ(presenter.MarkAreas()[1].y, 33);
  EXPECT_EQ(presenter.MarkAreas()[1].w, 90);
  EXPECT_EQ(presenter.MarkAreas()[1].h, 26);
  EXPECT_EQ(PixelAt(560, 33), 0xFFFFFFu);
  // A cell of the game's under the box changes (560 to 575, 32 to 47): it is
  // drawn, and the box over it again.
  frame.Set(565, 35, kWhite);
  frame.Set(565, 32, kWhite);
  presenter.Present(frame);
  EXPECT_EQ(PixelAt(560, 33), 0xFFFFFFu) << "the box's frame";
  EXPECT_EQ(PixelAt(565, 35), 0x000000u) << "inside the box, above the text";
  EXPECT_EQ(PixelAt(565, 32), 0xFFFFFFu) << "the picture above it";
  presenter.ShowMarks({});
  EXPECT_EQ(PixelAt(565, 35), 0xFFFFFFu) << "the picture under it once it goes";
  EXPECT_TRUE(presenter.MarkAreas().empty());
}

}  // namespace
}  // namespace rallix
