#include "web/emscripten_page.h"

#include <emscripten.h>

#include <cstdint>

// Implemented in page_library.js.
extern "C" {
void rallix_page_open();
int rallix_page_begin_pass();
int rallix_page_has_focus();
void rallix_page_paint(const uint8_t* pixels, const int32_t* rects, int count);
void rallix_page_play_sound(const char* file_name);
void rallix_page_play_sound_to_end(const char* file_name);  // sleeps (Asyncify)
void rallix_page_stop_sound();
void rallix_page_show_line(const char* text);
}

namespace rallix::web {

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

bool EmscriptenPage::HasFocus() {
  return rallix_page_has_focus() != 0;
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

}  // namespace rallix::web
