#include "sdl/video/presenter.h"

#include <algorithm>
#include <cstring>

#include "display/changed_cells.h"
#include "display/glyph_origin.h"
#include "display/glyph_sheet.h"

namespace rallix {
namespace {

// Copies the pixels in place.
void CopyPixels(Surface& dest, const Surface& source) {
  for (int y = 0; y < kScreenHeight; ++y)
    std::memcpy(dest.Row(y), source.Row(y), kScreenWidth);
}

// Copies the pixels of the changed cells only: the rest is the same already.
void CopyPixels(Surface& dest, const Surface& source, const std::vector<CellRun>& runs) {
  for (const CellRun& run : runs) {
    for (int y = run.y; y < run.y + run.height; ++y)
      std::memcpy(dest.Row(y) + run.x, source.Row(y) + run.x, static_cast<size_t>(run.width));
  }
}

// Writes one pixel value of `bytes` bytes, as SDL lays it out in memory.
void PutPixel(uint8_t* at, int bytes, Uint32 value) {
  switch (bytes) {
    case 1:
      *at = static_cast<uint8_t>(value);
      break;
    case 2: {
      const auto pixel = static_cast<Uint16>(value);
      std::memcpy(at, &pixel, 2);
      break;
    }
    case 3:
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
      at[0] = static_cast<uint8_t>(value);
      at[1] = static_cast<uint8_t>(value >> 8);
      at[2] = static_cast<uint8_t>(value >> 16);
#else
      at[0] = static_cast<uint8_t>(value >> 16);
      at[1] = static_cast<uint8_t>(value >> 8);
      at[2] = static_cast<uint8_t>(value);
#endif
      break;
    default:
      std::memcpy(at, &value, 4);
      break;
  }
}

// Runs `draw` with the surface's pixels at hand; false when they are not.
template <typename Draw>
bool WithPixels(SDL_Surface* surface, Draw draw) {
  if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0)
    return false;
  draw();
  if (SDL_MUSTLOCK(surface))
    SDL_UnlockSurface(surface);
  return true;
}

}  // namespace

void SdlPresenter::Present(const Surface& frame) {
  if (!SameTarget(SDL_GetWindowSurface(window_)))
    whole_next_ = true;
  // The same picture, not written to since: nothing to look for (on a still
  // screen that look was a third of the game's time).
  const bool unwritten = &frame == last_frame_ && frame.Writes() == last_writes_;
  last_frame_ = &frame;
  last_writes_ = frame.Writes();
  if (unwritten && !whole_next_)
    return;
  if (whole_next_) {
    CopyPixels(shown_, frame);
    Show(nullptr);
    return;
  }
  const std::vector<CellRun> runs = ChangedCellRuns(shown_, frame);
  if (runs.empty())
    return;
  CopyPixels(shown_, frame, runs);
  Show(&runs);
}

void SdlPresenter::Repaint() {
  whole_next_ = true;
  target_ = nullptr;  // fetched and placed anew
  Show(nullptr);
}

void SdlPresenter::ShowMarks(const std::vector<std::string>& marks) {
  if (marks == marks_)
    return;
  marks_ = marks;
  Repaint();
}

void SdlPresenter::DrawMarks(SDL_Surface* target) {
  mark_areas_.clear();
  if (marks_.empty())
    return;
  std::string line;
  for (const std::string& mark : marks_)
    line += (line.empty() ? "" : "  ") + mark;
  const int line_width = static_cast<int>(line.size()) * kCellSize;
  // The largest scale up to the picture's at which the line fits the top
  // border with a quarter of a glyph to spare each way.
  const auto fits = [&](int scale) {
    return place_.y >= kCellSize * scale * 3 / 2 && target->w >= line_width * scale;
  };
  int scale = place_.scale;
  while (scale > 1 && !fits(scale))
    --scale;
  const bool in_border = fits(scale);
  struct Text {
    std::string text;
    int x, y;
  };
  std::vector<Text> texts;
  const Uint32 white = SDL_MapRGB(target->format, 255, 255, 255);
  if (in_border) {
    texts.push_back(
        {line, (target->w - line_width * scale) / 2, (place_.y - kCellSize * scale) / 2});
    mark_areas_.push_back(SDL_Rect{texts[0].x, texts[0].y, line_width * scale, kCellSize * scale});
  } else {
    // Boxes over the blank columns right of the status panel, from the top,
    // right-aligned: the text with 4 pixels to spare around it inside a
    // 1-pixel frame, 4 pixels between two boxes.
    scale = place_.scale;
    const Uint32 black = SDL_MapRGB(target->format, 0, 0, 0);
    for (size_t i = 0; i < marks_.size(); ++i) {
      const int width = static_cast<int>(marks_[i].size()) * kCellSize;
      const int left = kScreenWidth - width - 16;
      const int top = 8 + static_cast<int>(i) * (kCellSize + 14);
      const SDL_Rect box{place_.x + (left - 5) * scale, place_.y + (top - 5) * scale,
                         (width + 10) * scale, (kCellSize + 10) * scale};
      const SDL_Rect inside{box.x + scale, box.y + scale, box.w - 2 * scale, box.h - 2 * scale};
      SDL_FillRect(target, &box, white);
      SDL_FillRect(target, &inside, black);
      mark_areas_.push_back(box);
      texts.push_back({marks_[i], place_.x + left * scale, place_.y + top * scale});
    }
  }
  const Surface& sheet = BuiltInGlyphSheet();
  for (const Text& text : texts) {
    for (int i = 0; i < static_cast<int>(text.text.size()); ++i) {
      const GlyphPoint origin = GlyphOriginOf(text.text[static_cast<size_t>(i)]);
      for (int gy = 0; gy < kCellSize; ++gy) {
        for (int gx = 0; gx < kCellSize; ++gx) {
          if (sheet.At(origin.x + gx, origin.y + gy) == kBlack)
            continue;
          SDL_Rect pixel{text.x + (i * kCellSize + gx) * scale, text.y + gy * scale, scale, scale};
          SDL_FillRect(target, &pixel, white);
        }
      }
    }
  }
}

bool SdlPresenter::SameTarget(const SDL_Surface* target) const {
  return target != nullptr && target == target_ && target->w == target_w_ && target->h == target_h_;
}

SDL_Rect SdlPresenter::DrawScaled(SDL_Surface* target, const SDL_Rect& area) {
  const int scale = place_.scale;
  const SDL_Rect placed{place_.x + area.x * scale, place_.y + area.y * scale, area.w * scale,
                        area.h * scale};
  const SDL_Rect bounds{0, 0, target->w, target->h};
  SDL_Rect part;
  if (SDL_IntersectRect(&placed, &bounds, &part) != SDL_TRUE)
    return SDL_Rect{0, 0, 0, 0};
  const int bytes = target->format->BytesPerPixel;
  const Uint32 inks[2] = {SDL_MapRGB(target->format, 0, 0, 0),
                          SDL_MapRGB(target->format, 255, 255, 255)};
  row_.resize(static_cast<size_t>(part.w) * bytes);
  auto* pixels = static_cast<uint8_t*>(target->pixels);
  // The picture pixels the part covers, the first and last perhaps cut.
  const int first_x = (part.x - place_.x) / scale;
  const int last_x = (part.x + part.w - 1 - place_.x) / scale;
  // Each picture row becomes `scale` equal rows: make it once, copy it on.
  int made_for = -1;
  for (int y = part.y; y < part.y + part.h; ++y) {
    const int picture_y = (y - place_.y) / scale;
    if (picture_y != made_for) {
      const uint8_t* source = shown_.Row(picture_y);
      uint8_t* out = row_.data();
      for (int picture_x = first_x; picture_x <= last_x; ++picture_x) {
        // The block's columns inside the part.
        const int from = std::max(part.x, place_.x + picture_x * scale);
        const int to = std::min(part.x + part.w, place_.x + (picture_x + 1) * scale);
        const Uint32 ink = inks[source[picture_x] != kBlack ? 1 : 0];
        for (int x = from; x < to; ++x, out += bytes)
          PutPixel(out, bytes, ink);
      }
      made_for = picture_y;
    }
    std::memcpy(
        pixels + static_cast<size_t>(y) * target->pitch + static_cast<size_t>(part.x) * bytes,
        row_.data(), row_.size());
  }
  return part;
}

void SdlPresenter::Show(const std::vector<CellRun>* runs) {
  // The window surface is made anew whenever the window changes size or
  // mode, and a window manager may give the window any size, whatever the
  // game asked for: the picture is placed for the surface there is.
  SDL_Surface* target = SDL_GetWindowSurface(window_);
  if (target == nullptr)
    return;  // tried again whole with the next frame
  if (!SameTarget(target)) {
    runs = nullptr;  // a new surface holds nothing of ours yet
    place_ = PlacePicture(target->w, target->h);
  }
  target_ = target;
  target_w_ = target->w;
  target_h_ = target->h;
  bool sent;
  if (runs == nullptr) {
    const SDL_Rect picture{0, 0, kScreenWidth, kScreenHeight};
    const bool drawn = WithPixels(target, [&] {
      const SDL_Rect covered = DrawScaled(target, picture);
      if (covered.w != target->w || covered.h != target->h) {
        // Black around the picture: the four borders.
        const Uint32 black = SDL_MapRGB(target->format, 0, 0, 0);
        const SDL_Rect borders[4] = {
            {0, 0, target->w, covered.y},
            {0, covered.y + covered.h, target->w, target->h - covered.y - covered.h},
            {0, covered.y, covered.x, covered.h},
            {covered.x + covered.w, covered.y, target->w - covered.x - covered.w, covered.h}};
        SDL_FillRects(target, borders, 4, black);
      }
    });
    if (drawn)
      DrawMarks(target);
    sent = drawn && SDL_UpdateWindowSurface(window_) == 0;
  } else {
    // Only what lies inside the surface is drawn and sent: the window system
    // refuses an update that reaches past the window.
    parts_.clear();
    const bool drawn = WithPixels(target, [&] {
      bool over_a_mark = false;
      for (const CellRun& run : *runs) {
        const SDL_Rect part = DrawScaled(target, SDL_Rect{run.x, run.y, run.width, run.height});
        if (part.w > 0 && part.h > 0)
          parts_.push_back(part);
        for (const SDL_Rect& mark : mark_areas_)
          over_a_mark = over_a_mark || SDL_HasIntersection(&part, &mark) == SDL_TRUE;
      }
      // A cell drawn over a box in the corner: the marks go back on top.
      if (over_a_mark) {
        DrawMarks(target);
        parts_.insert(parts_.end(), mark_areas_.begin(), mark_areas_.end());
      }
    });
    sent = drawn &&
           (parts_.empty() || SDL_UpdateWindowSurfaceRects(window_, parts_.data(),
                                                           static_cast<int>(parts_.size())) == 0);
  }
  if (!sent) {
    whole_next_ = true;  // tried again whole with the next frame
    return;
  }
  whole_next_ = false;
  ++frames_shown_;
  if (runs == nullptr)
    ++whole_frames_shown_;
}

}  // namespace rallix
