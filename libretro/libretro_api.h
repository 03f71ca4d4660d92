/* The part of the libretro API this core uses, declared from the API's
 * public documentation: the entry points a frontend looks up in the core,
 * the callbacks it hands the core, and the few types and numbers they pass.
 * Plain C, so that the core's entry points and a C frontend (the tests') read
 * it alike. */
#ifndef RALLIX_LIBRETRO_API_H
#define RALLIX_LIBRETRO_API_H

#include <stddef.h>
#include <stdint.h>
#ifndef __cplusplus
#include <stdbool.h>
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Exported from the core's shared object (the core's build hides the rest). */
#if defined(_WIN32)
#define RETRO_API __declspec(dllexport)
#else
#define RETRO_API __attribute__((visibility("default")))
#endif

#define RETRO_API_VERSION 1

/* Devices, and the ids of the RetroPad's buttons and of an analog axis. */
#define RETRO_DEVICE_JOYPAD 1
#define RETRO_DEVICE_ANALOG 5
#define RETRO_DEVICE_ID_JOYPAD_B 0
#define RETRO_DEVICE_ID_JOYPAD_SELECT 2
#define RETRO_DEVICE_ID_JOYPAD_START 3
#define RETRO_DEVICE_ID_JOYPAD_UP 4
#define RETRO_DEVICE_ID_JOYPAD_DOWN 5
#define RETRO_DEVICE_ID_JOYPAD_LEFT 6
#define RETRO_DEVICE_ID_JOYPAD_RIGHT 7
#define RETRO_DEVICE_ID_JOYPAD_A 8
#define RETRO_DEVICE_INDEX_ANALOG_LEFT 0
#define RETRO_DEVICE_ID_ANALOG_X 0
#define RETRO_DEVICE_ID_ANALOG_Y 1

/* The keyboard's key codes the keyboard callback reports. */
#define RETROK_SPACE 32
#define RETROK_p 112
#define RETROK_UP 273
#define RETROK_DOWN 274
#define RETROK_RIGHT 275
#define RETROK_LEFT 276

/* Environment commands. */
#define RETRO_ENVIRONMENT_SET_MESSAGE 6            /* const struct retro_message * */
#define RETRO_ENVIRONMENT_SHUTDOWN 7               /* NULL: the core asks to end */
#define RETRO_ENVIRONMENT_SET_PIXEL_FORMAT 10      /* const enum retro_pixel_format * */
#define RETRO_ENVIRONMENT_SET_INPUT_DESCRIPTORS 11 /* const struct retro_input_descriptor * */
#define RETRO_ENVIRONMENT_SET_KEYBOARD_CALLBACK 12 /* const struct retro_keyboard_callback * */
#define RETRO_ENVIRONMENT_SET_SUPPORT_NO_GAME 18   /* const bool *: runs with no content */

#define RETRO_REGION_NTSC 0

enum retro_pixel_format {
  RETRO_PIXEL_FORMAT_0RGB1555 = 0,
  RETRO_PIXEL_FORMAT_XRGB8888 = 1, /* 32 bits a pixel, native endian, top byte ignored */
  RETRO_PIXEL_FORMAT_RGB565 = 2,
  RETRO_PIXEL_FORMAT_UNKNOWN = INT32_MAX
};

struct retro_message {
  const char* msg;
  unsigned frames; /* how long the frontend shows it */
};

/* One button of one port, named for the frontend's remapping menu; a list of
 * them ends with a NULL description. */
struct retro_input_descriptor {
  unsigned port;
  unsigned device;
  unsigned index;
  unsigned id;
  const char* description;
};

typedef void (*retro_keyboard_event_t)(bool down, unsigned keycode, uint32_t character,
                                       uint16_t key_modifiers);
struct retro_keyboard_callback {
  retro_keyboard_event_t callback;
};

struct retro_system_info {
  const char* library_name;
  const char* library_version;
  const char* valid_extensions; /* "a|b" */
  bool need_fullpath;
  bool block_extract;
};

struct retro_game_geometry {
  unsigned base_width;
  unsigned base_height;
  unsigned max_width;
  unsigned max_height;
  float aspect_ratio;
};

struct retro_system_timing {
  double fps;
  double sample_rate;
};

struct retro_system_av_info {
  struct retro_game_geometry geometry;
  struct retro_system_timing timing;
};

struct retro_game_info {
  const char* path;
  const void* data;
  size_t size;
  const char* meta;
};

/* The callbacks the frontend hands the core. */
typedef bool (*retro_environment_t)(unsigned cmd, void* data);
typedef void (*retro_video_refresh_t)(const void* data, unsigned width, unsigned height,
                                      size_t pitch);
typedef void (*retro_audio_sample_t)(int16_t left, int16_t right);
/* Interleaved stereo frames; returns the frames taken. */
typedef size_t (*retro_audio_sample_batch_t)(const int16_t* data, size_t frames);
typedef void (*retro_input_poll_t)(void);
typedef int16_t (*retro_input_state_t)(unsigned port, unsigned device, unsigned index, unsigned id);

/* The core's entry points. */
RETRO_API void retro_set_environment(retro_environment_t);
RETRO_API void retro_set_video_refresh(retro_video_refresh_t);
RETRO_API void retro_set_audio_sample(retro_audio_sample_t);
RETRO_API void retro_set_audio_sample_batch(retro_audio_sample_batch_t);
RETRO_API void retro_set_input_poll(retro_input_poll_t);
RETRO_API void retro_set_input_state(retro_input_state_t);
RETRO_API void retro_init(void);
RETRO_API void retro_deinit(void);
RETRO_API unsigned retro_api_version(void);
RETRO_API void retro_get_system_info(struct retro_system_info* info);
RETRO_API void retro_get_system_av_info(struct retro_system_av_info* info);
RETRO_API void retro_set_controller_port_device(unsigned port, unsigned device);
RETRO_API void retro_reset(void);
RETRO_API void retro_run(void);
RETRO_API size_t retro_serialize_size(void);
RETRO_API bool retro_serialize(void* data, size_t size);
RETRO_API bool retro_unserialize(const void* data, size_t size);
RETRO_API void retro_cheat_reset(void);
RETRO_API void retro_cheat_set(unsigned index, bool enabled, const char* code);
RETRO_API bool retro_load_game(const struct retro_game_info* game);
RETRO_API bool retro_load_game_special(unsigned game_type, const struct retro_game_info* info,
                                       size_t num_info);
RETRO_API void retro_unload_game(void);
RETRO_API unsigned retro_get_region(void);
RETRO_API void* retro_get_memory_data(unsigned id);
RETRO_API size_t retro_get_memory_size(unsigned id);

#ifdef __cplusplus
}
#endif

#endif
