#include "tests/e2e/programs/sound_finder.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace rallix::e2e {
namespace {

bool IsSilentFrame(const uint8_t* frame, size_t frame_bytes, uint8_t silence) {
  return std::all_of(frame, frame + frame_bytes, [silence](uint8_t b) { return b == silence; });
}

}  // namespace

std::vector<SoundOccurrence> FindSound(const std::vector<uint8_t>& recording,
                                       const std::vector<uint8_t>& sound,
                                       const SoundSearch& search) {
  std::vector<SoundOccurrence> found;
  const size_t fb = search.frame_bytes;
  if (fb == 0)
    return found;
  const size_t recording_frames = recording.size() / fb;
  const size_t sound_frames = sound.size() / fb;

  // The key searched for: the first frames after the sound's silent start.
  size_t lead = 0;
  while (lead < sound_frames && IsSilentFrame(&sound[lead * fb], fb, search.silence))
    ++lead;
  if (lead == sound_frames)
    return found;  // a silent sound cannot be told from silence
  const size_t key_frames = std::min(std::max<size_t>(search.min_frames, 1), sound_frames - lead);
  const uint8_t* key = &sound[lead * fb];
  const size_t key_bytes = key_frames * fb;
  const uint8_t* data = recording.data();
  const uint8_t* end = data + recording_frames * fb;
  const std::boyer_moore_horspool_searcher searcher(key, key + key_bytes);

  size_t from = lead;  // the first recording frame where the key may lie
  while (from + key_frames <= recording_frames) {
    const uint8_t* hit = std::search(data + from * fb, end, searcher);
    if (hit == end)
      break;
    const size_t byte = static_cast<size_t>(hit - data);
    if (byte % fb != 0) {
      // Equal bytes across a frame boundary are not the sound.
      from = byte / fb + 1;
      continue;
    }
    const size_t key_frame = byte / fb;
    const size_t start = key_frame - lead;
    // The silent start must be there too, then as much of the rest as follows.
    size_t matched = 0;
    while (matched < sound_frames && start + matched < recording_frames &&
           std::memcmp(&data[(start + matched) * fb], &sound[matched * fb], fb) == 0) {
      ++matched;
    }
    if (matched < lead + key_frames) {
      from = key_frame + 1;
      continue;
    }
    found.push_back({start, matched, matched == sound_frames});
    from = start + matched + lead;
  }
  return found;
}

}  // namespace rallix::e2e
