#include "libretro/retro_core.h"

#include <exception>
#include <optional>

#include "libretro/save_state.h"
#include "libretro/sound_mixer.h"

namespace rallix::libretro {
namespace {

// How long the frontend shows the core's messages: three seconds.
constexpr unsigned kMessageRuns = 176;

}  // namespace

RetroCore::RetroCore(const Frontend& frontend, const Wrap& wrap)
    : frontend_(frontend),
      wrapped_(wrap ? wrap(machine_) : nullptr),
      form_(GamePlatform()),
      loop_(form_, GamePlatform()) {}

void RetroCore::Run() {
  if (frontend_.input_poll != nullptr)
    frontend_.input_poll();
  machine_.Input().Poll(frontend_.input_state);
  // The count wraps as the desktop's millisecond count does.
  machine_.BeginRun(static_cast<int32_t>(static_cast<uint32_t>(runs_ * kRunMilliseconds)));
  CoreScreen& screen = machine_.Screen();
  if (!ended_ && !screen.Holding())
    RunPass();

  const size_t frames = AudioFramesOfRun(runs_);
  machine_.Mixer().Mix(frames, audio_.data());
  if (screen.Holding() && !machine_.Mixer().Playing())
    screen.EndHold();  // this run's audio holds the sound's last frame
  if (frontend_.audio != nullptr) {
    size_t sent = 0;
    while (sent < frames) {
      const size_t taken = frontend_.audio(audio_.data() + 2 * sent, frames - sent);
      if (taken == 0)
        break;
      sent += taken;
    }
  }
  if (frontend_.video != nullptr)
    frontend_.video(screen.Pixels(), kScreenWidth, kScreenHeight, kScreenWidth * sizeof(uint32_t));
  ++runs_;
}

void RetroCore::RunPass() {
  try {
    if (loop_.Run(1) == LoopEnd::kClosed)
      EndGame(std::string());
    if (machine_.TakePauseChanged() && machine_.Paused())
      Say("Paused: P or Select goes on");
  } catch (const std::exception& error) {
    // A run-time error the loop let pass, or another failure: the game ends
    // with its report, as Main ends it.
    EndGame(error.what());
  }
}

void RetroCore::EndGame(const std::string& why) {
  ended_ = true;
  machine_.Mixer().Stop();
  if (!why.empty())
    Say("Rallix has stopped: " + why);
  if (frontend_.environment != nullptr)
    frontend_.environment(RETRO_ENVIRONMENT_SHUTDOWN, nullptr);
}

void RetroCore::Say(const std::string& message) const {
  if (frontend_.environment == nullptr)
    return;
  retro_message shown{message.c_str(), kMessageRuns};
  frontend_.environment(RETRO_ENVIRONMENT_SET_MESSAGE, &shown);
}

size_t RetroCore::StateSize() {
  return SaveStateSize();
}

bool RetroCore::Save(void* data, size_t size) const {
  const std::optional<TextGrid> background =
      BackgroundGlyphs(form_.Pictures, form_.Record.Screen.Grid);
  if (!background)
    return false;
  SavedGame game;
  const CoreScreen& screen = machine_.Screen();
  const SoundMixer& mixer = machine_.Mixer();
  game.runs = runs_;
  game.ended = ended_;
  game.paused = machine_.Paused();
  game.holding = screen.Holding();
  game.has_waiting = screen.HasWaiting();
  game.sound = mixer.Current();
  game.sound_position = mixer.Position();
  game.input = machine_.Input().Save();
  game.passes = loop_.Passes();
  game.trap_armed = loop_.TrapArmed();
  game.trap_spent = loop_.TrapSpent();
  game.record = form_.Record;
  game.background = *background;
  game.shown = screen.Shown();
  game.waiting = screen.Waiting();
  return EncodeSaveState(game, static_cast<uint8_t*>(data), size);
}

bool RetroCore::Load(const void* data, size_t size) {
  std::optional<SavedGame> game = DecodeSaveState(static_cast<const uint8_t*>(data), size);
  if (!game || !machine_.Mixer().CanRestore(game->sound, game->sound_position))
    return false;
  Compositor pictures = PicturesWithBackground(game->background);
  // Everything is read and checked: from here on nothing can fail.
  machine_.Mixer().Restore(game->sound, game->sound_position);
  machine_.Input().Restore(game->input);
  machine_.SetPaused(game->paused);
  machine_.Screen().Restore(game->shown, game->holding, game->has_waiting, game->waiting);
  loop_.Restore(game->passes, game->trap_armed, game->trap_spent);
  form_.Record = std::move(game->record);
  form_.Pictures = std::move(pictures);
  runs_ = game->runs;
  ended_ = game->ended;
  return true;
}

}  // namespace rallix::libretro
