#include "web/emscripten_page.h"

#include <emscripten.h>

#include <array>
#include <cstdint>

// Implemented in page_library.js.
extern "C" {
void rallix_page_open();
int rallix_page_begin_pass();
int rallix_page_in_front();
int rallix_page_take_buttons(int32_t* events, int capacity);
void rallix_page_paint(const uint8_t* pixels, const int32_t* rects, int count);
void rallix_page_play_sound(const char* file_name);
void rallix_page_play_sound_to_end(const char* file_name);  // sleeps (Asyncify)
void rallix_page_stop_sound();
void rallix_page_show_line(const char* text);
void rallix_page_wait_for_play_again();  // sleeps (Asyncify)
}

namespace rallix::web {
namespace {

// The sources as page_library.js numbers them.
constexpr int32_t kPageTouch = 1;
constexpr int32_t kPagePad = 2;

}  // namespace

EmscriptenPage::EmscriptenPage() {
  rallix_page_open();
}

double EmscriptenPage::Now() {
  return emscripten_get_now();
}

void EmscriptenPage::Sleep(int milliseconds) {
  emscripten_sleep(milliseconds > 0 ? static_cast<unsigned>(milliseconds) : 0U);
}

bool EmscriptenPage::BeginPass() {
  return rallix_page_begin_pass() != 0;
}

bool EmscriptenPage::InFront() {
  return rallix_page_in_front() != 0;
}

std::vector<ButtonEvent> EmscriptenPage::TakeButtonEvents() {
  constexpr int kBatch = 32;
  std::array<int32_t, 3 * kBatch> batch{};
  std::vector<ButtonEvent> events;
  for (;;) {
    const int count = rallix_page_take_buttons(batch.data(), kBatch);
    for (int i = 0; i < count && i < kBatch; ++i) {
      const int32_t source = batch[3 * i];
      if (source != kPageTouch && source != kPagePad)
        continue;
      events.push_back({source == kPageTouch ? KeySource::kTouch : KeySource::kPad,
                        batch[3 * i + 1], batch[3 * i + 2] != 0});
    }
    if (count < kBatch)
      return events;
  }
}

void EmscriptenPage::Paint(const Surface& frame, const std::vector<CanvasRect>& rects) {
  std::vector<int32_t> flat;
  flat.reserve(rects.size() * 4);
  for (const CanvasRect& rect : rects) {
    flat.insert(flat.end(), {rect.x, rect.y, rect.width, rect.height});
  }
  rallix_page_paint(frame.Row(0), flat.data(), static_cast<int>(rects.size()));
}

void EmscriptenPage::PlaySound(const std::string& file_name) {
  rallix_page_play_sound(file_name.c_str());
}

void EmscriptenPage::PlaySoundToEnd(const std::string& file_name) {
  rallix_page_play_sound_to_end(file_name.c_str());
}

void EmscriptenPage::StopSound() {
  rallix_page_stop_sound();
}

void EmscriptenPage::ShowLine(const std::string& text) {
  rallix_page_show_line(text.c_str());
}

void EmscriptenPage::WaitForPlayAgain() {
  rallix_page_wait_for_play_again();
}

}  // namespace rallix::web
