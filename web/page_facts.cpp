#include "web/page_facts.h"

#include <initializer_list>
#include <utility>

#include "demo/format.h"
#include "display/surface.h"
#include "generated/game_sounds.h"
#include "web/page.h"
#include "web/web_keys.h"

namespace rallix::web {
namespace {

std::string Quoted(const std::string& text) {
  return '"' + text + '"';
}

// {"name": number, ...}
std::string Numbers(std::initializer_list<std::pair<const char*, long long>> entries) {
  std::string json;
  for (const auto& [name, number] : entries)
    json += (json.empty() ? "{" : ",") + Quoted(name) + ":" + std::to_string(number);
  return json + "}";
}

template <typename Enum>
long long Number(Enum value) {
  return static_cast<long long>(value);
}

}  // namespace

std::string PageFacts() {
  std::string keys;
  for (const GameKey& key : GameKeys())
    keys += (keys.empty() ? "{" : ",") + Quoted(std::string(key.name)) + ":" +
            std::to_string(key.virtual_key);
  std::string sounds;
  for (const char* sound : {RALLIX_GAME_SOUNDS})
    sounds += (sounds.empty() ? "[" : ",") + Quoted(sound);
  return "{\"screen\":" + Numbers({{"width", kScreenWidth}, {"height", kScreenHeight}}) +
         ",\"keys\":" + keys + "}" + ",\"runs\":" +
         Numbers({{"game", Number(RunKind::kGame)},
                  {"recording", Number(RunKind::kRecording)},
                  {"demo", Number(RunKind::kDemo)}}) +
         ",\"requests\":" +
         Numbers({{"record", Number(PageRequest::Kind::kRecord)},
                  {"stopRecording", Number(PageRequest::Kind::kStopRecording)},
                  {"playDemo", Number(PageRequest::Kind::kPlayDemo)}}) +
         ",\"sources\":" +
         Numbers({{"touch", Number(KeySource::kTouch)}, {"pad", Number(KeySource::kPad)}}) +
         ",\"mostDemoBytes\":" + std::to_string(kMostDemoBytes) + ",\"sounds\":" + sounds + "]}";
}

}  // namespace rallix::web
