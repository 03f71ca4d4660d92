#include "web/page_calls.h"

#include <array>
#include <string>
#include <utility>

namespace rallix::web {

std::vector<ButtonEvent> ReadButtonEvents(const TakeButtons& take) {
  constexpr int kBatch = 32;
  std::array<int32_t, 3 * kBatch> batch{};
  std::vector<ButtonEvent> events;
  for (;;) {
    const int count = take(batch.data(), kBatch);
    for (int i = 0; i < count && i < kBatch; ++i) {
      const int32_t source = batch[3 * i];
      for (const KeySource known : {KeySource::kTouch, KeySource::kPad}) {
        if (source == static_cast<int32_t>(known))
          events.push_back({known, batch[3 * i + 1], batch[3 * i + 2] != 0});
      }
    }
    if (count < kBatch)
      return events;
  }
}

PageRequest ReadRequest(int kind, const int32_t (&sizes)[2], const CopyDemoFile& copy) {
  PageRequest request;
  for (const PageRequest::Kind known :
       {PageRequest::Kind::kRecord, PageRequest::Kind::kStopRecording,
        PageRequest::Kind::kPlayDemo}) {
    if (kind == static_cast<int>(known))
      request.kind = known;
  }
  if (request.kind == PageRequest::Kind::kPlayDemo) {
    std::string name(static_cast<size_t>(sizes[0]) + 1, '\0');
    request.unreadable = sizes[1] < 0;
    request.bytes.resize(request.unreadable ? 0 : static_cast<size_t>(sizes[1]));
    copy(name.data(), static_cast<int>(name.size()), request.bytes.data());
    name.resize(static_cast<size_t>(sizes[0]));
    request.file_name = std::move(name);
  }
  return request;
}

}  // namespace rallix::web
