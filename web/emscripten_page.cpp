#include "web/emscripten_page.h"

#include <emscripten.h>

#include <cstdint>
#include <string>

#include "web/page_calls.h"
#include "web/page_facts.h"

// Implemented by the page's script, web/library/*.js.
extern "C" {
void rallix_page_open(const char* facts);  // JSON (web/page_facts.h)
int rallix_page_begin_pass();
int rallix_page_in_front();
int rallix_page_take_buttons(int32_t* events, int capacity);
void rallix_page_paint(const uint8_t* rgba, const int32_t* rects, int count);
void rallix_page_play_sound(const char* file_name);
void rallix_page_play_sound_to_end(const char* file_name);  // sleeps (Asyncify)
void rallix_page_stop_sound();
void rallix_page_show_line(const char* text);
void rallix_page_wait_for_play_again();  // sleeps (Asyncify)
int rallix_page_take_request(int32_t* sizes);
void rallix_page_copy_demo_file(char* name, int name_capacity, uint8_t* bytes);
void rallix_page_begin_run(int kind);
void rallix_page_add_demo_piece(const uint8_t* bytes, int size);
void rallix_page_offer_demo();
int rallix_page_screenshot_wanted();
void rallix_page_offer_screenshot(const uint8_t* bytes, int size);
}

namespace rallix::web {

EmscriptenPage::EmscriptenPage() {
  rallix_page_open(PageFacts().c_str());
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
  return ReadButtonEvents(rallix_page_take_buttons);
}

void EmscriptenPage::Paint(const Surface& frame, const std::vector<CanvasRect>& rects) {
  pixels_.Take(frame, rects);
  std::vector<int32_t> flat;
  flat.reserve(rects.size() * 4);
  for (const CanvasRect& rect : rects) {
    flat.insert(flat.end(), {rect.x, rect.y, rect.width, rect.height});
  }
  rallix_page_paint(pixels_.Data(), flat.data(), static_cast<int>(rects.size()));
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

PageRequest EmscriptenPage::TakeRequest() {
  int32_t sizes[2] = {0, 0};
  const int kind = rallix_page_take_request(sizes);
  return ReadRequest(kind, sizes, rallix_page_copy_demo_file);
}

void EmscriptenPage::BeginRun(RunKind kind) {
  rallix_page_begin_run(static_cast<int>(kind));
}

void EmscriptenPage::AddDemoPiece(const std::vector<uint8_t>& piece) {
  rallix_page_add_demo_piece(piece.data(), static_cast<int>(piece.size()));
}

void EmscriptenPage::OfferDemo() {
  rallix_page_offer_demo();
}

bool EmscriptenPage::ScreenshotWanted() {
  return rallix_page_screenshot_wanted() != 0;
}

void EmscriptenPage::OfferScreenshot(const std::vector<uint8_t>& png) {
  rallix_page_offer_screenshot(png.data(), static_cast<int>(png.size()));
}

}  // namespace rallix::web
