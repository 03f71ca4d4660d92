// Everything the game needs from the machine it runs on. The game reaches the
// outside world only through this interface: the SDL2 desktop build, the
// browser build and the scripted platform of the tests each implement it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace rallix {

class Surface;

// One byte per virtual-key code; a key is down when bit 0x80 of its byte is set.
using KeySnapshot = std::array<uint8_t, 256>;

constexpr uint8_t kKeyDownBit = 0x80;
constexpr uint8_t kVkSpace = 0x20;
constexpr uint8_t kVkLeft = 0x25;
constexpr uint8_t kVkUp = 0x26;
constexpr uint8_t kVkRight = 0x27;
constexpr uint8_t kVkDown = 0x28;

inline bool IsKeyDown(const KeySnapshot& keys, uint8_t virtual_key) {
  return (keys[virtual_key] & kKeyDownBit) != 0;
}

class Platform {
 public:
  virtual ~Platform() = default;

  // Milliseconds since some fixed moment, a 32-bit count seen as signed.
  virtual int32_t TimeGetTime() = 0;
  // The same clock where a rule of the game reads it (the serve seeds the
  // random numbers from it), while TimeGetTime is the frame loop's, which
  // only paces the passes. A demo keeps these readings and none of the
  // loop's; only a platform that records or replays one tells them apart.
  virtual int32_t PlayClock() { return TimeGetTime(); }
  // Handles every pending window message: repaints, keyboard state, close
  // requests. Returns false when the user asked to close the window (or the
  // process was told to stop); the program then ends at once.
  virtual bool ProcessMessages() = 0;
  // True while the game's window is the one the user is working in.
  virtual bool IsForeground() = 0;
  // The key states as left by the messages processed so far.
  virtual void GetKeyboardState(KeySnapshot& keys) = 0;
  // Starts the sound file and returns at once, replacing a playing sound.
  virtual void PlaySoundAsync(const std::string& file_name) = 0;
  // Plays the sound file to its end before returning; the whole game waits.
  // A platform may cut a very long sound short, and may end the program
  // during the wait (throwing ProgramEnd) when the user closes the window.
  virtual void PlaySoundSync(const std::string& file_name) = 0;
  // Stops the sound that is playing, if any.
  virtual void StopSound() = 0;
  // Shows a finished frame (palette index 0 black, 1 white).
  virtual void Present(const Surface& frame) = 0;
  // Lets the time pass until TimeGetTime() reads at least `deadline`
  // (compared by signed difference, so across the count's wrap), without
  // using the processor; returns at once when it already does. The pacing
  // wait of the frame loop sleeps through it instead of spinning.
  virtual void SleepUntil(int32_t deadline) = 0;
  // Tells the user about the run-time error that ends the program.
  virtual void ReportFatalError(const std::string& message) = 0;
};

}  // namespace rallix
