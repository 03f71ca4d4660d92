// The core's entry points, which the frontend looks up by name: they hand
// the frontend's calls to the one game the core runs (libretro/retro_core.h).
#include <exception>
#include <memory>

#include "generated/version.h"
#include "libretro/libretro_api.h"
#include "libretro/pad_input.h"
#include "libretro/retro_core.h"
#include "libretro/sound_mixer.h"

namespace {

using rallix::libretro::Frontend;
using rallix::libretro::RetroCore;

Frontend frontend;
std::unique_ptr<RetroCore> core;
bool game_loaded = false;  // between retro_load_game and retro_unload_game

void KeyboardEvent(bool down, unsigned keycode, uint32_t /*character*/, uint16_t /*modifiers*/) {
  if (core)
    core->KeyEvent(down, keycode);
}

// A new game, as the program's start makes one; false when it cannot load.
bool StartGame() {
  core.reset();
  try {
    core = std::make_unique<RetroCore>(frontend);
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

}  // namespace

extern "C" {

RETRO_API void retro_set_environment(retro_environment_t environment) {
  frontend.environment = environment;
  bool no_game = true;  // the frontend's "Start Core": the game needs no content file
  environment(RETRO_ENVIRONMENT_SET_SUPPORT_NO_GAME, &no_game);
}

RETRO_API void retro_set_video_refresh(retro_video_refresh_t video) {
  frontend.video = video;
}
RETRO_API void retro_set_audio_sample(retro_audio_sample_t) {}
RETRO_API void retro_set_audio_sample_batch(retro_audio_sample_batch_t audio) {
  frontend.audio = audio;
}
RETRO_API void retro_set_input_poll(retro_input_poll_t poll) {
  frontend.input_poll = poll;
}
RETRO_API void retro_set_input_state(retro_input_state_t state) {
  frontend.input_state = state;
}

RETRO_API void retro_init(void) {}
RETRO_API void retro_deinit(void) {
  core.reset();
}
RETRO_API unsigned retro_api_version(void) {
  return RETRO_API_VERSION;
}

RETRO_API void retro_get_system_info(struct retro_system_info* info) {
  *info = retro_system_info{};
  info->library_name = "Rallix";
  info->library_version = RALLIX_VERSION;
  info->valid_extensions = "";
  info->need_fullpath = false;
  info->block_extract = false;
}

RETRO_API void retro_get_system_av_info(struct retro_system_av_info* info) {
  *info = retro_system_av_info{};
  info->geometry = {rallix::kScreenWidth, rallix::kScreenHeight, rallix::kScreenWidth,
                    rallix::kScreenHeight, 4.0f / 3.0f};
  info->timing = {rallix::libretro::kRunsPerSecond, rallix::libretro::kOutputRate};
}

RETRO_API void retro_set_controller_port_device(unsigned, unsigned) {}

RETRO_API void retro_reset(void) {
  if (game_loaded)
    StartGame();
}

RETRO_API void retro_run(void) {
  if (!core)
    return;
  try {
    core->Run();
  } catch (const std::exception&) {
    // Out of memory: nothing of the game is left to show.
    core.reset();
  }
}

RETRO_API size_t retro_serialize_size(void) {
  return RetroCore::StateSize();
}

RETRO_API bool retro_serialize(void* data, size_t size) {
  try {
    return core && core->Save(data, size);
  } catch (const std::exception&) {
    return false;
  }
}

RETRO_API bool retro_unserialize(const void* data, size_t size) {
  try {
    return core && core->Load(data, size);
  } catch (const std::exception&) {
    return false;
  }
}

RETRO_API void retro_cheat_reset(void) {}
RETRO_API void retro_cheat_set(unsigned, bool, const char*) {}

RETRO_API bool retro_load_game(const struct retro_game_info*) {
  retro_pixel_format format = RETRO_PIXEL_FORMAT_XRGB8888;
  if (!frontend.environment(RETRO_ENVIRONMENT_SET_PIXEL_FORMAT, &format))
    return false;
  frontend.environment(RETRO_ENVIRONMENT_SET_INPUT_DESCRIPTORS,
                       const_cast<retro_input_descriptor*>(rallix::libretro::kInputDescriptors));
  retro_keyboard_callback keyboard{KeyboardEvent};
  frontend.environment(RETRO_ENVIRONMENT_SET_KEYBOARD_CALLBACK, &keyboard);
  game_loaded = StartGame();
  return game_loaded;
}

RETRO_API bool retro_load_game_special(unsigned, const struct retro_game_info*, size_t) {
  return false;
}

RETRO_API void retro_unload_game(void) {
  game_loaded = false;
  core.reset();
}
RETRO_API unsigned retro_get_region(void) {
  return RETRO_REGION_NTSC;
}
RETRO_API void* retro_get_memory_data(unsigned) {
  return nullptr;
}
RETRO_API size_t retro_get_memory_size(unsigned) {
  return 0;
}

}  // extern "C"
