// The generated assets: the committed files are exactly what the generators
// make, and each file is what its readers (SDL, the desktop, a WAVE player)
// expect: PNG files decoded by stb_image, the rest by small readers here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "display/glyph_sheet.h"
#include "tests/support/picture_file.h"
#include "tools/file_output.h"
#include "tools/glyph_sheet_maker.h"
#include "tools/icon_art.h"
#include "tools/png_file.h"
#include "tools/sound_synth.h"

namespace rallix::art {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return {};
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

uint32_t Le(const Bytes& b, size_t at, int size) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i)
    value = value << 8 | b.at(at + static_cast<size_t>(i));
  return value;
}
Bytes Text(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

// The PNG file's picture, decoded by stb_image: what every reader sees.
RgbaImage ReadPng(const Bytes& png) {
  std::optional<RgbaImage> image = testing::DecodePicture(png);
  if (!image)
    throw std::runtime_error("not a PNG file");
  return *image;
}

// Reads an 8-bit BMP with rows bottom-up and padded to four bytes.
IndexedImage ReadBmp8(const Bytes& bmp, Palette* palette) {
  if (bmp.at(0) != 'B' || Le(bmp, 2, 4) != bmp.size() || Le(bmp, 14, 4) != 40 ||
      Le(bmp, 28, 2) != 8 || Le(bmp, 30, 4) != 0) {
    throw std::runtime_error("not an uncompressed 8-bit BMP");
  }
  IndexedImage image(static_cast<int>(Le(bmp, 18, 4)), static_cast<int>(Le(bmp, 22, 4)));
  for (size_t i = 0; i < 256; ++i)
    (*palette)[i] = {bmp[56 + 4 * i], bmp[55 + 4 * i], bmp[54 + 4 * i]};
  const size_t stride = (static_cast<size_t>(image.width) + 3) / 4 * 4;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      image.Set(x, y,
                bmp.at(Le(bmp, 10, 4) + (static_cast<size_t>(image.height - 1 - y)) * stride + x));
    }
  }
  return image;
}

std::vector<int16_t> WavSamples(const Bytes& wav) {
  std::vector<int16_t> samples;
  for (size_t at = 44; at + 1 < wav.size(); at += 2)
    samples.push_back(static_cast<int16_t>(Le(wav, at, 2)));
  return samples;
}

TEST(CommittedAssets, AreExactlyWhatTheGeneratorsMake) {
  std::vector<GeneratedFile> files = IconFiles();
  for (GeneratedFile& sound : GameSoundFiles())
    files.push_back(std::move(sound));
  files.push_back({"glyphs.bmp", GlyphSheetBmp()});
  for (const GeneratedFile& file : files) {
    EXPECT_TRUE(ReadFile(std::string(RALLIX_SOURCE_DIR) + "/assets/" + file.file_name) ==
                file.bytes)
        << "assets/" << file.file_name
        << " differs from its generator: run cmake --build <build dir> --target assets";
  }
  const Bytes sheet = GlyphSheetBmp();
  EXPECT_TRUE(BuiltInGlyphSheet() == *DecodeGlyphBmp(sheet.data(), sheet.size()))
      << "the game was built with another glyph sheet";
}

TEST(BmpWriter, PadsRowsAndStoresThemBottomUp) {
  IndexedImage image(3, 2);
  image.Set(0, 0, 7);
  image.Set(2, 1, 9);
  Palette palette{};
  palette[7] = {10, 20, 30};
  const Bytes bmp = EncodeIndexedBmp(image, palette);
  ASSERT_EQ(bmp.size(), 1078u + 2 * 4);
  EXPECT_EQ((Bytes(bmp.begin() + 1078, bmp.end())), (Bytes{0, 0, 9, 0, 7, 0, 0, 0}));
  Palette read{};
  EXPECT_EQ(ReadBmp8(bmp, &read).pixels, image.pixels);
  EXPECT_EQ(read[7].r, 10);
  EXPECT_EQ(read[7].b, 30);
  EXPECT_THROW(EncodeIndexedBmp(IndexedImage(0, 4), palette), std::invalid_argument);
}

Bytes FileNamed(const std::vector<GeneratedFile>& files, const std::string& name) {
  for (const GeneratedFile& file : files) {
    if (file.file_name == name)
      return file.bytes;
  }
  return {};
}

TEST(Icon, TheWindowsBmpsShowTheSameArtAsTheirPngs) {
  const std::vector<GeneratedFile> files = IconFiles();
  for (int size : {32, 16}) {
    const std::string name = "icon-" + std::to_string(size);
    Palette palette{};
    const IndexedImage indexed = ReadBmp8(FileNamed(files, name + ".bmp"), &palette);
    const RgbaImage rgba = ReadPng(FileNamed(files, name + ".png"));
    ASSERT_EQ(indexed.width, size);
    ASSERT_EQ(indexed.height, size);
    ASSERT_EQ(rgba.width, size);
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        const uint8_t* p = &rgba.rgba[(static_cast<size_t>(y) * size + x) * 4];
        const Rgb ink = palette[indexed.At(x, y)];
        EXPECT_EQ(p[3] == 0, indexed.At(x, y) == kIconOutside) << name << " at " << x << "," << y;
        if (p[3] != 0) {
          EXPECT_TRUE(p[0] == ink.r && p[1] == ink.g && p[2] == ink.b)
              << name << " at " << x << "," << y;
        }
      }
    }
  }
  EXPECT_THROW(IconArt(24), std::invalid_argument);
}

// The Windows program's icon: each size the art itself in its 256 colours,
// see-through exactly outside the rounded tile, and 256 x 256 as PNG.
TEST(Icon, TheWindowsIcoHoldsTheArtAtEverySize) {
  const Bytes ico = FileNamed(IconFiles(), "rallix.ico");
  ASSERT_GT(ico.size(), 6u);
  ASSERT_EQ(Le(ico, 0, 4), 0x00010000u) << "an icon file";
  const std::vector<int> sizes = WindowsIcoSizes();
  ASSERT_EQ(Le(ico, 4, 2), sizes.size());
  const Palette palette = IconPalette();
  for (size_t i = 0; i < sizes.size(); ++i) {
    const size_t entry = 6 + 16 * i;
    const int size = sizes[i];
    EXPECT_EQ(ico.at(entry) == 0 ? 256 : ico[entry], size);
    const size_t length = Le(ico, entry + 8, 4);
    const size_t at = Le(ico, entry + 12, 4);
    ASSERT_LE(at + length, ico.size());
    const Bytes body(ico.begin() + static_cast<long>(at),
                     ico.begin() + static_cast<long>(at + length));
    if (size > 64) {
      EXPECT_EQ(ReadPng(body).rgba, IconRgba(size).rgba) << size;
      continue;
    }
    ASSERT_EQ(Le(body, 0, 4), 40u);
    ASSERT_EQ(Le(body, 4, 4), static_cast<uint32_t>(size));
    ASSERT_EQ(Le(body, 8, 4), static_cast<uint32_t>(2 * size)) << "colour rows and mask";
    ASSERT_EQ(Le(body, 14, 2), 8u);
    for (size_t c = 0; c < 256; ++c) {
      EXPECT_TRUE(body[40 + 4 * c] == palette[c].b && body[41 + 4 * c] == palette[c].g &&
                  body[42 + 4 * c] == palette[c].r)
          << size << ": colour " << c;
    }
    const IndexedImage art = IconImage(size);
    const size_t colour_stride = (static_cast<size_t>(size) + 3) / 4 * 4;
    const size_t mask_stride = (static_cast<size_t>(size) + 31) / 32 * 4;
    const size_t colours = 40 + 1024;
    const size_t mask = colours + colour_stride * static_cast<size_t>(size);
    ASSERT_EQ(body.size(), mask + mask_stride * static_cast<size_t>(size));
    for (int y = 0; y < size; ++y) {
      const auto row = static_cast<size_t>(size - 1 - y);
      for (int x = 0; x < size; ++x) {
        const auto column = static_cast<size_t>(x);
        EXPECT_EQ(body[colours + row * colour_stride + column], art.At(x, y)) << size;
        const bool see_through = (body[mask + row * mask_stride + column / 8] << (x % 8) & 0x80);
        EXPECT_EQ(see_through, art.At(x, y) == kIconOutside) << size << " at " << x << "," << y;
      }
    }
  }
}

// Crisp pixel art at every size: only the inks of the art, never a blend of
// two, the corners rounded off and the tile nearly filled.
TEST(Icon, EveryPngSizeIsCrispPixelArtInTheArtsOwnInks) {
  const std::vector<GeneratedFile> files = IconFiles();
  const std::vector<IconInk> inks = IconInks();
  for (int size : IconPngSizes()) {
    const std::string name = "icon-" + std::to_string(size) + ".png";
    const RgbaImage rgba = ReadPng(FileNamed(files, name));
    ASSERT_EQ(rgba.width, size) << name;
    ASSERT_EQ(rgba.height, size) << name;
    int opaque = 0, white = 0, strange = 0;
    for (size_t at = 0; at < rgba.rgba.size(); at += 4) {
      const uint8_t* p = &rgba.rgba[at];
      bool known = false;
      for (const IconInk& ink : inks) {
        known = known || (p[0] == ink.colour.r && p[1] == ink.colour.g && p[2] == ink.colour.b &&
                          p[3] == ink.alpha);
      }
      strange += !known;
      opaque += p[3] != 0;
      white += p[0] == 255 && p[1] == 255 && p[2] == 255 && p[3] == 255;
    }
    EXPECT_EQ(strange, 0) << name;
    EXPECT_EQ(rgba.rgba[3], 0) << name << ": the corners are rounded off";
    EXPECT_GT(opaque, size * size * 9 / 10) << name;
    EXPECT_GT(white, size) << name << ": walls and paddles";
  }
}

// The maskable icon: a home screen crops it to a circle, a squircle or a
// rounded square, and every crop keeps the circle of 40% of the size around
// the centre. The square is opaque to its edges; the whole art, the 256-pixel
// icon, sits in its middle, inside that circle.
TEST(Icon, TheMaskableIconIsTheWholeArtInsideTheSafeZoneOnAFullBleedSquare) {
  const RgbaImage icon = MaskableIconRgba();
  ASSERT_EQ(icon.width, 512);
  ASSERT_EQ(icon.height, 512);
  const auto is_white = [](const uint8_t* p) { return p[0] == 255 && p[1] == 255 && p[2] == 255; };
  const RgbaImage art = IconRgba(256);
  int art_white = 0;
  for (size_t at = 0; at < art.rgba.size(); at += 4)
    art_white += is_white(&art.rgba[at]) && art.rgba[at + 3] == 255;
  int see_through = 0, white = 0, cropped = 0;
  int left = 512, top = 512, right = -1, bottom = -1;
  for (int y = 0; y < 512; ++y) {
    for (int x = 0; x < 512; ++x) {
      const uint8_t* p = &icon.rgba[(static_cast<size_t>(y) * 512 + x) * 4];
      see_through += p[3] != 255;
      white += is_white(p);
      if (p[0] == 34 && p[1] == 34 && p[2] == 34)
        continue;
      const double dx = x + 0.5 - 256, dy = y + 0.5 - 256;
      cropped += dx * dx + dy * dy > 204.8 * 204.8;
      left = std::min(left, x);
      top = std::min(top, y);
      right = std::max(right, x);
      bottom = std::max(bottom, y);
    }
  }
  EXPECT_EQ(see_through, 0) << "the background reaches every edge";
  EXPECT_EQ(cropped, 0) << "art outside the safe zone";
  EXPECT_EQ(white, art_white) << "walls and paddles lost";
  EXPECT_EQ(left, 128);
  EXPECT_EQ(top, 128);
  EXPECT_EQ(right, 383);
  EXPECT_EQ(bottom, 383);
}

TEST(Sounds, AreShortQuietMonoFilesThatStartAndEndInSilence) {
  struct Expected {
    const char* name;
    int min_ms, max_ms;
  };
  const Expected expected[] = {
      {"pon.WAV", 80, 120}, {"pin.WAV", 30, 80}, {"pupu.WAV", 400, 600}, {"pipopin.WAV", 500, 800}};
  const std::vector<GeneratedFile> files = GameSoundFiles();
  ASSERT_EQ(files.size(), 4u);
  for (size_t i = 0; i < files.size(); ++i) {
    const Bytes& wav = files[i].bytes;
    const std::string name = files[i].file_name;
    EXPECT_EQ(name, expected[i].name);
    ASSERT_GT(wav.size(), 44u);
    EXPECT_EQ(Bytes(wav.begin(), wav.begin() + 4), Text("RIFF"));
    EXPECT_EQ(Le(wav, 4, 4), wav.size() - 8) << name;
    EXPECT_EQ(Bytes(wav.begin() + 8, wav.begin() + 16), Text("WAVEfmt "));
    EXPECT_EQ(Le(wav, 16, 4), 16u);
    EXPECT_EQ(Le(wav, 20, 2), 1u) << name << " is PCM";
    EXPECT_EQ(Le(wav, 22, 2), 1u) << name << " is mono";
    EXPECT_EQ(Le(wav, 24, 4), 22050u);
    EXPECT_EQ(Le(wav, 28, 4), 44100u);
    EXPECT_EQ(Le(wav, 32, 4), 0x00100002u) << name << ": 2-byte frames of 16 bits";
    EXPECT_EQ(Bytes(wav.begin() + 36, wav.begin() + 40), Text("data"));
    EXPECT_EQ(Le(wav, 40, 4), wav.size() - 44) << name;

    const std::vector<int16_t> s = WavSamples(wav);
    const int ms = static_cast<int>(s.size() * 1000 / 22050);
    EXPECT_GE(ms, expected[i].min_ms) << name;
    EXPECT_LE(ms, expected[i].max_ms) << name;
    int peak = 0, edge = 0;
    for (size_t k = 0; k < s.size(); ++k) {
      peak = std::max(peak, std::abs(s[k]));
      if (k < 22 || k + 22 >= s.size())
        edge = std::max(edge, std::abs(s[k]));
    }
    EXPECT_GE(peak, 32767 * 40 / 100) << name;
    EXPECT_LE(peak, 32767 * 50 / 100) << name;
    EXPECT_EQ(s.front(), 0) << name;
    EXPECT_EQ(s.back(), 0) << name;
    EXPECT_LT(edge, peak / 3) << name << " fades in and out over more than a millisecond";
  }
}

// The pitch between two times, from the zero crossings.
double Pitch(const std::vector<int16_t>& s, int from_ms, int to_ms) {
  const size_t first = static_cast<size_t>(from_ms) * 22050 / 1000;
  const size_t last = std::min(s.size(), static_cast<size_t>(to_ms) * 22050 / 1000);
  int crossings = 0;
  for (size_t k = first + 1; k < last; ++k)
    crossings += (s[k - 1] < 0) != (s[k] < 0);
  return crossings / 2.0 / ((last - first) / 22050.0);
}

TEST(Sounds, PitchesMoveTheWayTheirNamesSay) {
  std::vector<std::vector<int16_t>> s;
  for (const SoundRecipe& recipe : GameSoundRecipes())
    s.push_back(Synthesise(recipe));
  const double pon = Pitch(s[0], 5, 95), pin = Pitch(s[1], 5, 50);
  EXPECT_GT(pon, 300);
  EXPECT_LT(pon, 800) << "a mid-pitched pon";
  EXPECT_GT(pin, pon * 1.5) << "the wall's pin is higher";
  EXPECT_GT(Pitch(s[2], 10, 200), Pitch(s[2], 300, 500) * 1.2) << "pu-pu falls";
  const double pi = Pitch(s[3], 10, 110), po = Pitch(s[3], 130, 230),
               pin_end = Pitch(s[3], 260, 560);
  EXPECT_GT(po, pi * 1.1) << "pi-po-pin rises";
  EXPECT_GT(pin_end, po * 1.1) << "pi-po-pin rises";
}

TEST(FileOutput, RewritesOnlyChangedFilesAndNamesThePathItCannotWrite) {
  const std::string dir = ::testing::TempDir() + "/rallix_file_output";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const std::string path = dir + "/a.bin";
  EXPECT_TRUE(WriteFileIfChanged(path, {1, 2, 3}));
  EXPECT_FALSE(WriteFileIfChanged(path, {1, 2, 3}));
  EXPECT_TRUE(WriteFileIfChanged(path, {4, 5}));
  EXPECT_EQ(ReadFile(path), (Bytes{4, 5}));
  EXPECT_FALSE(std::filesystem::exists(path + ".part"));
  try {
    WriteFileIfChanged(dir + "/missing/b.bin", {1});
    ADD_FAILURE() << "writing into a missing directory should fail";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find(dir + "/missing/b.bin"), std::string::npos)
        << error.what();
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace rallix::art
