#include "tests/e2e/programs/ball_finder.h"

#include <algorithm>

#include "display/glyph_origin.h"

namespace rallix::e2e {
namespace {

constexpr int kHalf = kCellSize / 2;

}  // namespace

BallFinder::BallFinder(const Surface& glyph_sheet) {
  const GlyphPoint origin = GlyphOriginOf('O');
  for (int y = 0; y < kCellSize; ++y) {
    for (int x = 0; x < kCellSize; ++x)
      block_[y][x] = glyph_sheet.At(origin.x + x, origin.y + y) == kBlack ? kRgbBlack : kRgbWhite;
  }
}

bool BallFinder::ShowsBallAt(const RgbImage& capture, int left, int top) const {
  const int y_from = std::max(0, -top);
  const int y_to = std::min(kCellSize, capture.height - top);
  const int x_from = std::max(0, -left);
  const int x_to = std::min(kCellSize, capture.width - left);
  if (y_to - y_from < kHalf || x_to - x_from < kHalf)
    return false;
  for (int y = y_from; y < y_to; ++y) {
    for (int x = x_from; x < x_to; ++x) {
      if (capture.At(left + x, top + y) != block_[y][x])
        return false;
    }
  }
  return true;
}

std::vector<BallSighting> BallFinder::Find(const RgbImage& capture) const {
  std::vector<BallSighting> found;
  for (int top = -kHalf; top <= capture.height - kHalf; ++top) {
    for (int left = -kHalf; left <= capture.width - kHalf; ++left) {
      if (ShowsBallAt(capture, left, top))
        found.push_back({left + kHalf, top + kHalf});
    }
  }
  return found;
}

}  // namespace rallix::e2e
