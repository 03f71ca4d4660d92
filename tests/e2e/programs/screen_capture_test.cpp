// The end-to-end tests' eyes: reading xwd captures, comparing them with the
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
#include "tests/e2e/programs/screen_capture.h"
#include "tests/e2e/programs/scripted_situations.h"
#include "tests/e2e/programs/xwd_image.h"
#include "tests/support/screen_text.h"
#include "tests/support/scripted_platform.h"

namespace rallix::e2e {
namespace {

// What an xwd file says about its pixels.
struct XwdLayout {
  uint32_t visual_class = 4;  // TrueColor
  uint32_t bits_per_pixel = 32;
  uint32_t byte_order = 0;  // LSBFirst
  uint32_t red_mask = 0xFF0000, green_mask = 0x00FF00, blue_mask = 0x0000FF;
  struct Colour {
    uint32_t pixel;
    uint16_t r, g, b;
  };
  std::vector<Colour> colours;
};

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<uint8_t>(v >> shift));
}
void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v >> 8));
  out.push_back(static_cast<uint8_t>(v));
}

// An xwd file of `width` x `height` whose pixel values come from `pixel`.
std::vector<uint8_t> MakeXwd(const XwdLayout& layout, int width, int height,
                             const std::function<uint32_t(int, int)>& pixel) {
  const std::string name = "Rallix";
  const uint32_t header_size = 100 + static_cast<uint32_t>(name.size()) + 1;
  const uint32_t bytes_per_pixel = layout.bits_per_pixel / 8;
  const uint32_t bytes_per_line = (width * bytes_per_pixel + 3) / 4 * 4;
  std::vector<uint8_t> out;
  const uint32_t fields[25] = {header_size,
                               7,
                               2,
                               24,
                               static_cast<uint32_t>(width),
                               static_cast<uint32_t>(height),
                               0,
                               layout.byte_order,
                               32,
                               layout.byte_order,
                               32,
                               layout.bits_per_pixel,
                               bytes_per_line,
                               layout.visual_class,
                               layout.red_mask,
                               layout.green_mask,
                               layout.blue_mask,
                               8,
                               256,
                               static_cast<uint32_t>(layout.colours.size()),
                               static_cast<uint32_t>(width),
                               static_cast<uint32_t>(height),
                               0,
                               0,
                               0};
  for (uint32_t field : fields)
    Put32(out, field);
  for (char c : name)
    out.push_back(static_cast<uint8_t>(c));
  out.push_back(0);
  for (const XwdLayout::Colour& colour : layout.colours) {
    Put32(out, colour.pixel);
    Put16(out, colour.r);
    Put16(out, colour.g);
    Put16(out, colour.b);
    out.push_back(7);
    out.push_back(0);
  }
  for (int y = 0; y < height; ++y) {
    std::vector<uint8_t> row(bytes_per_line, 0);
    for (int x = 0; x < width; ++x) {
      const uint32_t value = pixel(x, y);
      for (uint32_t i = 0; i < bytes_per_pixel; ++i) {
        const uint32_t shift = layout.byte_order == 0 ? 8 * i : 8 * (bytes_per_pixel - 1 - i);
        row[x * bytes_per_pixel + i] = static_cast<uint8_t>(value >> shift);
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

RgbImage Decode(const std::vector<uint8_t>& bytes) {
  RgbImage image;
  std::string error;
  EXPECT_TRUE(DecodeXwd(bytes.data(), bytes.size(), image, error)) << error;
  return image;
}

std::string DecodeError(const std::vector<uint8_t>& bytes) {
  RgbImage image;
  std::string error;
  EXPECT_FALSE(DecodeXwd(bytes.data(), bytes.size(), image, error));
  return error;
}

TEST(Xwd, DecodesTrueColourInEitherByteOrderAndEveryPixelSize) {
  auto pattern = [](int x, int y) { return static_cast<uint32_t>(x * 0x010203 + y * 0x100000); };
  XwdLayout layout;
  RgbImage image = Decode(MakeXwd(layout, 5, 3, pattern));
  ASSERT_EQ(image.width, 5);
  ASSERT_EQ(image.height, 3);
  EXPECT_EQ(image.At(4, 2), (pattern(4, 2) & 0xFFFFFF));
  EXPECT_EQ(image.At(1, 0), 0x010203u);

  layout.byte_order = 1;
  EXPECT_EQ(Decode(MakeXwd(layout, 5, 3, pattern)).At(3, 1), pattern(3, 1) & 0xFFFFFF);
  layout.bits_per_pixel = 24;
  EXPECT_EQ(Decode(MakeXwd(layout, 5, 3, pattern)).At(3, 2), pattern(3, 2) & 0xFFFFFF);

  // 16-bit 5-6-5: full components scale to 255, zero stays 0.
  layout = XwdLayout{};
  layout.bits_per_pixel = 16;
  layout.red_mask = 0xF800;
  layout.green_mask = 0x07E0;
  layout.blue_mask = 0x001F;
  image = Decode(MakeXwd(layout, 2, 1, [](int x, int) { return x == 0 ? 0xFFFFu : 0xF800u; }));
  EXPECT_EQ(image.At(0, 0), 0xFFFFFFu);
  EXPECT_EQ(image.At(1, 0), 0xFF0000u);
}

TEST(Xwd, DecodesColourTablesOfDirectAndPaletteVisuals) {
  // Direct colour: each component indexes the table on its own (here a
  // table that inverts, so the table must have been used).
  XwdLayout direct;
  direct.visual_class = 5;
  for (uint32_t i = 0; i < 256; ++i) {
    const uint16_t v = static_cast<uint16_t>((255 - i) * 257);
    direct.colours.push_back({i, v, v, v});
  }
  RgbImage image = Decode(MakeXwd(direct, 2, 1, [](int x, int) { return x ? 0xFFFFFFu : 0u; }));
  EXPECT_EQ(image.At(0, 0), 0xFFFFFFu);
  EXPECT_EQ(image.At(1, 0), 0x000000u);

  // An 8-bit palette.
  XwdLayout palette;
  palette.visual_class = 3;  // PseudoColor
  palette.bits_per_pixel = 8;
  palette.colours = {{0, 0xFFFF, 0xFFFF, 0xFFFF}, {9, 0x1200, 0x3400, 0x5600}};
  image = Decode(MakeXwd(palette, 3, 1, [](int x, int) { return x == 1 ? 9u : 0u; }));
  EXPECT_EQ(image.At(0, 0), 0xFFFFFFu);
  EXPECT_EQ(image.At(1, 0), 0x123456u);
  EXPECT_NE(DecodeError(MakeXwd(palette, 3, 1, [](int, int) { return 5u; })).find("colour table"),
            std::string::npos);
}

TEST(Xwd, RefusesDamagedAndUnsupportedFilesWithAReason) {
  const std::vector<uint8_t> good = MakeXwd(XwdLayout{}, 4, 4, [](int, int) { return 0u; });
  EXPECT_FALSE(DecodeError({good.begin(), good.begin() + 50}).empty());
  EXPECT_NE(DecodeError({good.begin(), good.end() - 1}).find("truncated"), std::string::npos);
  std::vector<uint8_t> bad_version = good;
  bad_version[7] = 6;
  EXPECT_NE(DecodeError(bad_version).find("version"), std::string::npos);
  std::vector<uint8_t> xy_pixmap = good;
  xy_pixmap[11] = 1;
  EXPECT_NE(DecodeError(xy_pixmap).find("ZPixmap"), std::string::npos);
  XwdLayout odd;
  odd.bits_per_pixel = 4;
  EXPECT_NE(DecodeError(MakeXwd(odd, 4, 4, [](int, int) { return 0u; })).find("bits per pixel"),
            std::string::npos);
  std::vector<uint8_t> huge = good;
  huge[16] = 0x7F;  // width above any screen
  EXPECT_FALSE(DecodeError(huge).empty());
  RgbImage image;
  std::string error;
  EXPECT_FALSE(ReadXwdFile("/nonexistent/capture.xwd", image, error));
  EXPECT_NE(error.find("cannot open"), std::string::npos);
}

TEST(Xwd, AFileWhoseHeaderClaimsTerabytesIsRefusedBeforeItIsRead) {
  // 8192 rows of 2^31 bytes after a 107-byte header, says the header of a
  // file of 171 bytes: a reader that took it at its word would try to hold
  // 16 TB.
  std::vector<uint8_t> claim = MakeXwd(XwdLayout{}, 4, 4, [](int, int) { return 0u; });
  auto set_field = [&](size_t field, uint32_t value) {
    for (int i = 0; i < 4; ++i)
      claim[4 * field + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
  };
  set_field(12, 1u << 31);  // bytes per line
  set_field(5, 8192);       // height
  const std::string path = ::testing::TempDir() + "/claims-terabytes.xwd";
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(claim.data()),
             static_cast<std::streamsize>(claim.size()));
  RgbImage image;
  std::string error;
  EXPECT_FALSE(ReadXwdFile(path, image, error));
  EXPECT_NE(error.find("header claims 17592186044523 bytes"), std::string::npos) << error;
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
