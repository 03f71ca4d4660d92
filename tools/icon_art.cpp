#include "tools/icon_art.h"

#include <cstddef>
#include <stdexcept>
#include <string>

#include "tools/bmp_file.h"

namespace rallix::art {
namespace {

const IconInk& InkFor(const std::vector<IconInk>& inks, char symbol) {
  for (const IconInk& ink : inks) {
    if (ink.symbol == symbol)
      return ink;
  }
  throw std::invalid_argument(std::string("the icon art uses the unknown ink '") + symbol + "'");
}

// Checks that the art of `size` is square and returns it.
std::vector<std::string_view> CheckedArt(int size) {
  std::vector<std::string_view> rows = IconArt(size);
  if (rows.size() != static_cast<size_t>(size)) {
    throw std::invalid_argument("the icon art of size " + std::to_string(size) + " has " +
                                std::to_string(rows.size()) + " rows");
  }
  for (std::string_view row : rows) {
    if (row.size() != static_cast<size_t>(size)) {
      throw std::invalid_argument("a row of the icon art of size " + std::to_string(size) + " is " +
                                  std::to_string(row.size()) + " pixels wide");
    }
  }
  return rows;
}

}  // namespace

std::vector<IconInk> IconInks() {
  return {
      {' ', kIconOutside, {0, 0, 0}, 0},  // outside the rounded tile
      {'.', 1, {0, 0, 0}, 255},           // the black court
      {'#', 2, {255, 255, 255}, 255},     // walls and paddles
      {'o', 3, {255, 176, 32}, 255},      // the ball
      {':', 4, {112, 112, 112}, 255},     // the ball's trail
  };
}

// clang-format off
std::vector<std::string_view> IconArt(int size) {
  if (size == 32) {
    return {"  ............................  ",
            " .............................. ",
            "...##......................##...",
            "...##......................##...",
            "...##......................##...",
            "...##......................##...",
            "...##....#########.........##...",
            "...##....#########.........##...",
            "...##......::..............##...",
            "...##......::..............##...",
            "...##........::............##...",
            "...##........::............##...",
            "...##......................##...",
            "...##............oooo......##...",
            "...##...........oooooo.....##...",
            "...##...........oooooo.....##...",
            "...##...........oooooo.....##...",
            "...##...........oooooo.....##...",
            "...##............oooo......##...",
            "...##......................##...",
            "...##......................##...",
            "...##......................##...",
            "...##............##........##...",
            "...##............##........##...",
            "...##.......############...##...",
            "...##.......############...##...",
            "...##............##........##...",
            "...##............##........##...",
            "...##......................##...",
            "...##......................##...",
            " .............................. ",
            "  ............................  "};
  }
  if (size == 16) {
    return {" .............. ",
            "................",
            ".#............#.",
            ".#..#####.....#.",
            ".#............#.",
            ".#.....:......#.",
            ".#............#.",
            ".#.......oo...#.",
            ".#......oooo..#.",
            ".#......oooo..#.",
            ".#.......oo...#.",
            ".#............#.",
            ".#......#.....#.",
            ".#...#######..#.",
            ".#......#.....#.",
            " .............. "};
  }
  throw std::invalid_argument("the icon comes in 32 x 32 and 16 x 16 only");
}
// clang-format on

Palette IconPalette() {
  Palette palette{};
  for (const IconInk& ink : IconInks())
    palette[ink.index] = ink.colour;
  return palette;
}

IndexedImage IconImage(int size) {
  const std::vector<std::string_view> rows = CheckedArt(size);
  const std::vector<IconInk> inks = IconInks();
  IndexedImage image(size, size);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      image.Set(x, y, InkFor(inks, rows[static_cast<size_t>(y)][static_cast<size_t>(x)]).index);
    }
  }
  return image;
}

RgbaImage IconRgba(int size) {
  const std::vector<std::string_view> rows = CheckedArt(size);
  const std::vector<IconInk> inks = IconInks();
  RgbaImage image{size, size, {}};
  image.rgba.reserve(static_cast<size_t>(size) * size * 4);
  for (std::string_view row : rows) {
    for (char symbol : row) {
      const IconInk& ink = InkFor(inks, symbol);
      image.rgba.insert(image.rgba.end(), {ink.colour.r, ink.colour.g, ink.colour.b, ink.alpha});
    }
  }
  return image;
}

RgbaImage IconRgbaEnlarged(int scale) {
  const RgbaImage small = IconRgba(32);
  RgbaImage image{small.width * scale, small.height * scale, {}};
  image.rgba.reserve(static_cast<size_t>(image.width) * image.height * 4);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const auto from =
          small.rgba.begin() + (static_cast<ptrdiff_t>(y / scale) * small.width + x / scale) * 4;
      image.rgba.insert(image.rgba.end(), from, from + 4);
    }
  }
  return image;
}

std::vector<GeneratedFile> IconFiles() {
  std::vector<GeneratedFile> files;
  for (int size : {32, 16}) {
    files.push_back({"icon-" + std::to_string(size) + ".bmp",
                     EncodeIndexedBmp(IconImage(size), IconPalette())});
  }
  for (int size : {32, 16}) {
    files.push_back({"icon-" + std::to_string(size) + ".png", EncodeRgbaPng(IconRgba(size))});
  }
  for (int scale : {6, 16}) {
    files.push_back({"icon-" + std::to_string(32 * scale) + ".png",
                     EncodeRgbaPng(IconRgbaEnlarged(scale), PngPacking::kRuns)});
  }
  return files;
}

}  // namespace rallix::art
