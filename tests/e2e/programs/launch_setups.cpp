#include "tests/e2e/programs/launch_setups.h"

#include <functional>

namespace rallix::e2e {
namespace {

// The ball falling straight down in column 6, far from the player's paddle
// at the right wall: the player misses about 13 frames later.
void BallAboutToBeMissed(FormMain& form) {
  GameRecord& r = form.Record;
  r.BallX = 104;
  r.BallY = 296;
  r.BallVX = 0;
  r.BallVY = 8;
  r.PlayerX = r.PlayerPaddles(r.PlayerPaddleKind).MaxX;
  r.ComX = 5;
  form.SetState(kStateRally);
}

struct Setup {
  const char* name;
  const char* description;
  std::function<void(FormMain&)> prepare;
};

const std::vector<Setup>& AllSetups() {
  static const std::vector<Setup> setups = {
      {"title", "the game as loaded: the title, from its first frame", [](FormMain&) {}},
      {"new-game", "\"GAME START\" just chosen: the new-game state",
       [](FormMain& form) { form.SetState(kStateNewGame); }},
      {"serve", "a new game set up, its first serve to come",
       [](FormMain& form) { form.NewGame(); }},
      {"miss", "a rally of a new game that the player is about to lose",
       [](FormMain& form) {
         form.NewGame();
         BallAboutToBeMissed(form);
       }},
      {"game-over", "a rally whose miss gives the computer the stage: GAME OVER",
       [](FormMain& form) {
         form.NewGame();
         form.Record.ComPoints = form.Record.SetCount - 1;
         form.DrawCourt();
         form.RedrawBackground();
         BallAboutToBeMissed(form);
       }},
      {"endless", "a rally whose ball crosses the court from wall to wall, never near a paddle",
       [](FormMain& form) {
         form.NewGame();
         GameRecord& r = form.Record;
         r.BallX = 104;
         r.BallY = 200;
         r.BallVX = 8;
         r.BallVY = 0;
         form.SetState(kStateRally);
       }},
      {"stage-won", "the player's winning point of stage 1, scored on the first frame",
       [](FormMain& form) {
         form.NewGame();
         form.Record.PlayerPoints = form.Record.SetCount - 1;
         form.Record.Score = 100 * form.Record.PlayerPoints;
         form.DrawCourt();
         form.RedrawBackground();
         form.SetState(kStatePlayerPoint);
       }},
  };
  return setups;
}

}  // namespace

std::vector<LaunchSetup> LaunchSetups() {
  std::vector<LaunchSetup> infos;
  for (const Setup& setup : AllSetups())
    infos.push_back({setup.name, setup.description});
  return infos;
}

bool PrepareSetup(const std::string& name, FormMain& form) {
  for (const Setup& setup : AllSetups()) {
    if (name == setup.name) {
      setup.prepare(form);
      return true;
    }
  }
  return false;
}

}  // namespace rallix::e2e
