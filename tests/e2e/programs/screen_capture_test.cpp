// The end-to-end tests' eyes: reading captures back, comparing them with the
// headless frames, reading them back as text and as pictures, and the
// situations' frames.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "display/compositor.h"
#include "display/glyph_origin.h"
#include "display/glyph_sheet.h"
#include "game/form_main.h"
#include "game/main_loop.h"
#include "tests/e2e/programs/capture_file.h"
#include "tests/e2e/programs/screen_capture.h"
#include "tests/e2e/programs/scripted_situations.h"
#include "tests/support/screen_text.h"
#include "tests/support/scripted_platform.h"

namespace rallix::e2e {
namespace {

// A capture kept as a file reads back pixel for pixel; a file that is not a
// picture is refused with the reason.
TEST(CaptureFile, ACaptureReadsBackExactlyAndAnythingElseIsRefused) {
  RgbImage picture{3, 2, {0x000000, 0xFFFFFF, 0x123456, 0xFF0000, 0x00FF00, 0x0000FF}};
  const std::string path = ::testing::TempDir() + "/capture-test.bmp";
  const std::vector<uint8_t> bytes = EncodeCapture(picture);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  RgbImage read;
  std::string error;
  ASSERT_TRUE(ReadCaptureFile(path, read, error)) << error;
  EXPECT_EQ(read.width, 3);
  EXPECT_EQ(read.pixels, picture.pixels);
  std::ofstream(path, std::ios::binary) << "not a picture";
  EXPECT_FALSE(ReadCaptureFile(path, read, error));
  EXPECT_NE(error.find(path), std::string::npos) << error;
  std::remove(path.c_str());
}

TEST(FrameComparison, FindsEveryDifferingPixelAndItsCell) {
  Surface frame;
  frame.Set(100, 100, kWhite);
  RgbImage capture = CaptureOf(frame);
  EXPECT_TRUE(CompareWithFrame(capture, frame).Same());
  EXPECT_EQ(Describe(CompareWithFrame(capture, frame), capture, frame), "identical\n");

  capture.pixels[static_cast<size_t>(479) * 640 + 639] = 0x010101;  // nearly black
  capture.pixels[static_cast<size_t>(100) * 640 + 100] = kRgbBlack;
  const FrameDifference difference = CompareWithFrame(capture, frame);
  EXPECT_FALSE(difference.Same());
  EXPECT_EQ(difference.pixels, 2);
  EXPECT_EQ(difference.first_x, 100);
  EXPECT_EQ(difference.first_y, 100);
  const std::vector<std::pair<int, int>> cells = {{6, 6}, {39, 29}};
  EXPECT_EQ(difference.cells, cells);
  const std::string report = Describe(difference, capture, frame);
  EXPECT_NE(report.find("2 pixels differ"), std::string::npos) << report;
  EXPECT_NE(report.find("(39, 29)"), std::string::npos) << report;

  RgbImage small{320, 240, std::vector<uint32_t>(320 * 240, 0)};
  EXPECT_TRUE(CompareWithFrame(small, frame).size_differs);

  // As a picture file: the capture's is the frame's, and the pixel shows.
  capture = CaptureOf(frame);
  EXPECT_EQ(FramePng(FrameOf(capture)), FramePng(frame));
  EXPECT_NE(FramePng(Surface()), FramePng(frame));
}

// The frame the compositor makes of `lines` printed from the top-left cell.
Surface Compose(const Surface& sheet, const std::vector<std::string>& lines) {
  Compositor compositor(sheet);
  TextScreen screen;
  for (size_t row = 0; row < lines.size(); ++row) {
    screen.Locate(0, static_cast<int32_t>(row));
    screen.PrintText(lines[row]);
  }
  compositor.RedrawBackground(screen.Grid);
  compositor.ComposeFrame(screen);
  return compositor.PictureMain;
}

TEST(ScreenReading, EveryCellReadsAsItsCharacterAndAnythingElseAsQuestionMarks) {
  const Surface& sheet = BuiltInGlyphSheet();
  const std::vector<std::string> printed = {"RALLIX 0123456789", "-+|<> ABCDEFGHIJKLMNOPQRSTUVWXYZ",
                                            "a=b"};
  Surface frame = Compose(sheet, printed);
  RgbImage capture = CaptureOf(frame);
  std::vector<std::string> lines = ReadScreen(capture, sheet);
  ASSERT_EQ(lines.size(), 30u);
  for (const std::string& line : lines)
    ASSERT_EQ(line.size(), 40u);
  EXPECT_EQ(lines[0], "RALLIX 0123456789                       ");
  EXPECT_EQ(lines[1], "-+|<> ABCDEFGHIJKLMNOPQRSTUVWXYZ        ");
  EXPECT_EQ(lines[2], "                                        ") << "lower case and = are blank";
  EXPECT_EQ(lines[29], std::string(40, ' '));

  // A glyph drawn off the cell grid (as the ball is) matches no glyph, and
  // neither does a colour other than black and white.
  BlockCopy(frame, 200 + 5, 160 + 3, 16, 16, sheet, GlyphOriginOf('O').x, GlyphOriginOf('O').y);
  capture = CaptureOf(frame);
  capture.pixels[static_cast<size_t>(20 * 16 + 4) * 640 + 30 * 16 + 4] = 0x808080;
  lines = ReadScreen(capture, sheet);
  EXPECT_EQ(lines[10][12], '?');
  EXPECT_EQ(lines[11][13], '?');
  EXPECT_EQ(lines[20][30], '?');
  EXPECT_EQ(lines[0].substr(0, 6), "RALLIX");
  long other_colours = 0;
  FrameOf(capture, &other_colours);
  EXPECT_EQ(other_colours, 1);

  RgbImage small{320, 240, std::vector<uint32_t>(320 * 240, 0)};
  EXPECT_TRUE(ReadScreen(small, sheet).empty());
}

TEST(Situations, RenderTheHeadlessGamesFrames) {
  // The title: the frame of the game's first pass.
  testing::ScriptedPlatform platform;
  FormMain form(platform);
  MainLoop(form, platform).Run(1);
  const std::optional<Surface> title = RenderSituation("title");
  ASSERT_TRUE(title);
  EXPECT_TRUE(*title == platform.last_frame);

  // The mark moves with the keys of the situation.
  const std::optional<Surface> quit = RenderSituation("title-quit");
  ASSERT_TRUE(quit);
  EXPECT_EQ(testing::ScreenText(*title, BuiltInGlyphSheet(), 5, 13, 1), ">");
  EXPECT_EQ(testing::ScreenText(*quit, BuiltInGlyphSheet(), 5, 13, 1), " ");
  EXPECT_EQ(testing::ScreenText(*quit, BuiltInGlyphSheet(), 5, 17, 1), ">");
  const std::optional<Surface> config = RenderSituation("config");
  ASSERT_TRUE(config);
  EXPECT_TRUE(*config != *title);

  for (const SituationInfo& info : Situations()) {
    EXPECT_TRUE(RenderSituation(info.name)) << info.name;
    EXPECT_FALSE(info.description.empty());
  }
  EXPECT_FALSE(RenderSituation("no-such-situation"));
}

}  // namespace
}  // namespace rallix::e2e
