#include "tests/e2e/programs/screen_capture.h"

#include "display/text_screen.h"
#include "tests/support/screen_text.h"
#include "tools/png_file.h"

namespace rallix::e2e {
namespace {

uint32_t FrameColour(uint8_t index) {
  return index == kBlack ? kRgbBlack : kRgbWhite;
}

bool IsScreenSized(const RgbImage& image) {
  return image.width == kScreenWidth && image.height == kScreenHeight;
}

}  // namespace

FrameDifference CompareWithFrame(const RgbImage& capture, const Surface& frame) {
  FrameDifference difference;
  if (!IsScreenSized(capture)) {
    difference.size_differs = true;
    return difference;
  }
  bool cell_differs[kGridColumns][kGridRows] = {};
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x) {
      if (capture.At(x, y) == FrameColour(frame.At(x, y)))
        continue;
      if (difference.pixels++ == 0) {
        difference.first_x = x;
        difference.first_y = y;
      }
      cell_differs[x / kCellSize][y / kCellSize] = true;
    }
  }
  for (int row = 0; row < kGridRows; ++row) {
    for (int column = 0; column < kGridColumns; ++column) {
      if (cell_differs[column][row])
        difference.cells.emplace_back(column, row);
    }
  }
  return difference;
}

bool PictureIn(const RgbImage& capture, int scale, int x, int y, RgbImage& picture,
               std::string& why) {
  const auto at = [](int px, int py) {
    return " at (" + std::to_string(px) + ", " + std::to_string(py) + ")";
  };
  if (scale < 1 || x < 0 || y < 0 || x + kScreenWidth * scale > capture.width ||
      y + kScreenHeight * scale > capture.height) {
    why = "a picture at " + std::to_string(scale) + "x" + at(x, y) + " does not fit the " +
          std::to_string(capture.width) + " x " + std::to_string(capture.height) + " capture";
    return false;
  }
  picture = RgbImage{kScreenWidth, kScreenHeight,
                     std::vector<uint32_t>(static_cast<size_t>(kScreenWidth) * kScreenHeight)};
  for (int cy = 0; cy < capture.height; ++cy) {
    for (int cx = 0; cx < capture.width; ++cx) {
      const uint32_t colour = capture.At(cx, cy);
      const int px = cx - x;
      const int py = cy - y;
      if (px < 0 || py < 0 || px >= kScreenWidth * scale || py >= kScreenHeight * scale) {
        if (colour != kRgbBlack) {
          why = "not black around the picture" + at(cx, cy);
          return false;
        }
        continue;
      }
      uint32_t& pixel = picture.pixels[static_cast<size_t>(py / scale) * kScreenWidth + px / scale];
      if (px % scale == 0 && py % scale == 0) {
        pixel = colour;
      } else if (colour != pixel) {
        why = "picture pixel (" + std::to_string(px / scale) + ", " + std::to_string(py / scale) +
              ") is no whole block" + at(cx, cy);
        return false;
      }
    }
  }
  return true;
}

std::optional<std::pair<int, int>> FindFrame(const RgbImage& capture, const Surface& frame,
                                             int scale) {
  const int width = kScreenWidth * scale;
  const int height = kScreenHeight * scale;
  if (scale < 1 || width > capture.width || height > capture.height)
    return std::nullopt;
  const auto colour = [&frame](int x, int y) {
    return frame.At(x, y) == kBlack ? kRgbBlack : kRgbWhite;
  };
  // A few hundred pixels spread over the frame rule out almost every place
  // at once; the rest are compared whole.
  std::vector<std::pair<int, int>> probes;
  for (int y = 0; y < kScreenHeight; y += 13) {
    for (int x = (y * 7) % 29; x < kScreenWidth; x += 29)
      probes.emplace_back(x, y);
  }
  const auto shows = [&](int left, int top, const std::vector<std::pair<int, int>>& points) {
    for (const auto& [x, y] : points) {
      for (int dy = 0; dy < scale; ++dy) {
        for (int dx = 0; dx < scale; ++dx) {
          if (capture.At(left + x * scale + dx, top + y * scale + dy) != colour(x, y))
            return false;
        }
      }
    }
    return true;
  };
  std::vector<std::pair<int, int>> every;
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x)
      every.emplace_back(x, y);
  }
  for (int top = 0; top + height <= capture.height; ++top) {
    for (int left = 0; left + width <= capture.width; ++left) {
      if (shows(left, top, probes) && shows(left, top, every))
        return std::make_pair(left, top);
    }
  }
  return std::nullopt;
}

std::string Describe(const FrameDifference& difference, const RgbImage& capture,
                     const Surface& frame) {
  if (difference.size_differs) {
    return "the capture is " + std::to_string(capture.width) + " x " +
           std::to_string(capture.height) + ", the frame 640 x 480\n";
  }
  if (difference.Same())
    return "identical\n";
  char line[160];
  std::snprintf(line, sizeof line,
                "%ld pixels differ; the first at (%d, %d): capture #%06X, frame #%06X\n",
                difference.pixels, difference.first_x, difference.first_y,
                capture.At(difference.first_x, difference.first_y),
                FrameColour(frame.At(difference.first_x, difference.first_y)));
  std::string text = line;
  text += std::to_string(difference.cells.size()) + " cells (column, row):";
  size_t shown = 0;
  for (const auto& [column, row] : difference.cells) {
    if (++shown > 20) {
      text += " ...";
      break;
    }
    text += " (" + std::to_string(column) + ", " + std::to_string(row) + ")";
  }
  return text + "\n";
}

RgbImage CaptureOf(const Surface& frame) {
  RgbImage image{kScreenWidth, kScreenHeight, {}};
  image.pixels.reserve(static_cast<size_t>(kScreenWidth) * kScreenHeight);
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x)
      image.pixels.push_back(FrameColour(frame.At(x, y)));
  }
  return image;
}

Surface FrameOf(const RgbImage& capture, long* other_colours) {
  Surface frame;
  long others = 0;
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x) {
      const uint32_t rgb = capture.At(x, y);
      others += rgb != kRgbBlack && rgb != kRgbWhite;
      frame.Set(x, y, rgb == kRgbBlack ? kBlack : rgb == kRgbWhite ? kWhite : 2);
    }
  }
  if (other_colours != nullptr)
    *other_colours = others;
  return frame;
}

std::vector<std::string> ReadScreen(const RgbImage& capture, const Surface& glyph_sheet) {
  std::vector<std::string> lines;
  if (!IsScreenSized(capture))
    return lines;
  const Surface frame = FrameOf(capture);
  for (int row = 0; row < kGridRows; ++row)
    lines.push_back(testing::ScreenText(frame, glyph_sheet, 0, row, kGridColumns));
  return lines;
}

std::vector<uint8_t> FramePng(const Surface& frame) {
  art::RgbaImage image{kScreenWidth, kScreenHeight, {}};
  image.rgba.reserve(static_cast<size_t>(kScreenWidth) * kScreenHeight * 4);
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x) {
      const uint8_t level = frame.At(x, y) == kBlack ? 0 : 255;
      image.rgba.insert(image.rgba.end(), {level, level, level, 255});
    }
  }
  return art::EncodeRgbaPng(image);
}

}  // namespace rallix::e2e
