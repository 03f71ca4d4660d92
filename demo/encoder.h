// Writes a demo, pass by pass, as the bytes of its file: the header, then
// chunks of records, where runs of passes alike (the window in the
// background, or one key snapshot that does not change) take a few bytes.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "demo/demo.h"

namespace rallix {

// The file's header for a demo recorded by game version `game_version`
// (printable ASCII, at most kMostGameVersionBytes; anything else is cut or
// replaced by '?').
std::vector<uint8_t> DemoHeader(std::string_view game_version);

class DemoEncoder {
 public:
  // One pass of the frame loop: whether the window was in front, and the
  // readings it took (none when it was not).
  void AddPass(bool in_front, const std::vector<DemoRead>& reads);
  // How the run ended, after its last pass.
  void AddEnd(DemoEnd end);

  // The passes added since the last chunk was taken.
  int64_t PendingPasses() const { return pending_passes_; }
  // Everything added since the last chunk was taken, as one whole chunk
  // (empty when nothing was added).
  std::vector<uint8_t> TakeChunk();

 private:
  enum class Run { kNone, kBackground, kKeys };
  void CloseRun();

  std::vector<uint8_t> payload_;
  Run run_ = Run::kNone;
  uint8_t run_keys_ = 0;
  uint32_t run_count_ = 0;
  int64_t pending_passes_ = 0;
};

}  // namespace rallix
