// Finding the game's sounds in a recording of its audio output.
//
// The game converts each sound file once to the audio device's format and
// copies those samples unchanged into the device's buffers; SDL's disk
// driver writes the buffers unchanged to its file. A sound heard by the
// "device" is therefore a run of frames in the recording equal, byte for byte,
// to the start of the converted sound. The recording is written in real time,
// a device buffer at a time, so a sound may lie anywhere in it, may be cut
// short where another sound replaced it or the recording ends, and may be
// surrounded by silence or by other sounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace rallix::e2e {

// One place where a sound begins.
struct SoundOccurrence {
  size_t frame = 0;           // the recording's frame where the sound's first frame lies
  size_t frames_matched = 0;  // how many of its frames follow there unchanged
  bool whole = false;         // all of them
};

struct SoundSearch {
  size_t frame_bytes = 4;  // bytes of one frame (all channels of one sample)
  uint8_t silence = 0;     // the byte value of a silent sample
  // A sound counts as heard when at least this many frames of it that are
  // not silence show (fewer if the sound has fewer), after its silent start.
  size_t min_frames = 256;
};

// Every place where `sound` begins in `recording`, in order. Both hold whole
// frames (a trailing partial frame is ignored). The search skips the
// sound's leading silence, which would match any quiet stretch, and starts
// looking for the next occurrence after the frames an occurrence matched, so
// a sound that repeats a stretch of itself is not found again inside itself;
// a sound started again while it plays is found at its new start.
std::vector<SoundOccurrence> FindSound(const std::vector<uint8_t>& recording,
                                       const std::vector<uint8_t>& sound,
                                       const SoundSearch& search);

}  // namespace rallix::e2e
