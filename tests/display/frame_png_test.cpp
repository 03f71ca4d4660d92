// A frame as a PNG file: 8-bit grey, and read back by stb_image exactly the
// frame, black where the palette index is 0 and white anywhere else.
#include <gtest/gtest.h>

#include "display/frame_png.h"
#include "tests/support/picture_file.h"

namespace rallix {
namespace {

TEST(FramePng, TheFileReadsBackAsTheFramePixelForPixelInEightBitGrey) {
  Surface frame;
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x) {
      if ((x / 3 + y / 5) % 2 == 0)
        frame.Set(x, y, kWhite);
    }
  }
  frame.Set(639, 479, 7);  // any index but 0 is white
  frame.Set(0, 0, kBlack);
  const std::vector<uint8_t> png = EncodeFramePng(frame);
  ASSERT_GT(png.size(), 33u);
  // IHDR: 640 x 480, bit depth 8, colour type 0 (grey).
  const std::vector<uint8_t> header(png.begin() + 16, png.begin() + 26);
  EXPECT_EQ(header, (std::vector<uint8_t>{0, 0, 2, 128, 0, 0, 1, 224, 8, 0}));
  const std::optional<art::RgbaImage> image = testing::DecodePicture(png);
  ASSERT_TRUE(image);
  ASSERT_EQ(image->width, kScreenWidth);
  ASSERT_EQ(image->height, kScreenHeight);
  long wrong = 0;
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x) {
      const uint8_t* pixel = &image->rgba[(static_cast<size_t>(y) * kScreenWidth + x) * 4];
      const uint8_t level = frame.At(x, y) == kBlack ? 0 : 255;
      if (pixel[0] != level || pixel[1] != level || pixel[2] != level || pixel[3] != 255)
        ++wrong;
    }
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(EncodeFramePng(frame), png) << "the same frame, the same bytes";
}

}  // namespace
}  // namespace rallix
