#include "libretro/retro_core.h"

#include <cstring>
#include <exception>

#include "demo/state_format.h"
#include "game/game_state.h"
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
      loop_(form_, GamePlatform()) {
  machine_.Follow(form_.Pictures);
}

void RetroCore::Run() {
  if (frontend_.input_poll != nullptr)
    frontend_.input_poll();
  machine_.Input().Poll(frontend_.input_state);
  // The count wraps as the desktop's millisecond count does.
  machine_.BeginRun(static_cast<int32_t>(static_cast<uint32_t>(runs_ * kPassMilliseconds)));
  CoreScreen& screen = machine_.Screen();
  if (!ended_ && !screen.Holding())
    RunPass();

  const size_t frames = AudioFramesOfRun(runs_);
  machine_.Mixer().Mix(frames, audio_.data());
  if (screen.Holding() && !machine_.Mixer().Playing())
    screen.EndHold();  // this run's audio holds the sound's last frame
  if (!form_.Pictures.ShowsLastFrame()) {
    // A state was loaded and no pass has composed a frame since.
    form_.Pictures.ShowLastFrame();
    screen.ShowComposed(form_.Pictures);
  }
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
  return kStateBytes;
}

const ComposedFrame& RetroCore::FrameOnScreen() const {
  const CoreScreen& screen = machine_.Screen();
  return screen.Holding() ? screen.HeldFrame() : form_.Pictures.LastFrame();
}

CoreState RetroCore::Core() const {
  const CoreScreen& screen = machine_.Screen();
  const SoundMixer& mixer = machine_.Mixer();
  return {runs_,
          machine_.Paused(),
          screen.Holding(),
          screen.HasWaiting(),
          static_cast<int8_t>(mixer.Current()),
          mixer.Position(),
          machine_.Input().Save()};
}

bool RetroCore::Save(void* data, size_t size) const {
  if (ended_ || data == nullptr || size < kStateBytes)
    return false;
  StateWriter state(static_cast<uint8_t*>(data));
  const LoopState loop = loop_.State();
  const CoreState core = Core();
  const Compositor& pictures = form_.Pictures;
  SaveStateFields(state, form_.Record, loop, pictures.Drawn(), pictures.LastFrame(), core,
                  FrameOnScreen());
  return state.Finish();
}

bool RetroCore::Load(const void* data, size_t size) {
  StateReader state(static_cast<const uint8_t*>(data), size);
  SaveState& in = loaded_;
  in.Fields(state);
  std::string why = state.Finish();
  if (const char* fault = SaveStateFault(in, machine_.Mixer()); why.empty() && fault != nullptr)
    why = fault;
  // The game writes a state's fields one way only: the same fields in other
  // bytes (a grid's run that takes in cells like the grid it is listed like)
  // were written by something else.
  if (why.empty()) {
    StateWriter writer(rewritten_.data());
    in.Fields(writer);
    if (!writer.Finish() || std::memcmp(rewritten_.data(), data, kStateBytes) != 0)
      why = "its fields are not written as the game writes them";
  }
  if (!why.empty()) {
    Say("Rallix did not load the state: " + why);
    return false;
  }
  // Everything is read and checked: from here on nothing can fail.
  form_.Record = in.record;
  loop_.Restore(in.loop);
  runs_ = in.core.runs;
  ended_ = false;
  machine_.SetPaused(in.core.paused);
  machine_.Input().Restore(in.core.input);
  machine_.Mixer().Restore(in.core.sound, in.core.heard);
  // The pictures: while a sound holds the game, the frame on screen and
  // then the held pass's frame, composed again at once; else the last frame
  // when it is wanted, unless the next pass composes its own first (Run).
  Compositor& pictures = form_.Pictures;
  CoreScreen& screen = machine_.Screen();
  if (in.core.holding) {
    pictures.Restore(in.shown.background, in.shown);
    pictures.ShowLastFrame();
    screen.ShowComposed(pictures);
    pictures.Restore(in.drawn, in.last);
    pictures.ShowLastFrame();
  } else {
    pictures.Restore(in.drawn, in.last);
  }
  screen.Restore(in.core.holding, in.shown, in.core.waiting, pictures);
  return true;
}

}  // namespace rallix::libretro
