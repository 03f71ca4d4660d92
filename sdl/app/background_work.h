// Work the game hands off its frame's path (writing a screenshot): one
// thread of its own runs each job in turn, in the order given, started with
// the first job; it sleeps while there is none. The jobs given are all done
// before the program ends.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace rallix {

class BackgroundWork {
 public:
  BackgroundWork() = default;
  // Does every job given, then ends the thread.
  ~BackgroundWork();
  BackgroundWork(const BackgroundWork&) = delete;
  BackgroundWork& operator=(const BackgroundWork&) = delete;

  // Runs `job` on the thread after those given before; returns at once.
  void Run(std::function<void()> job);
  // Returns once every job given so far is done.
  void Finish();

 private:
  void Work();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::function<void()>> jobs_;
  bool busy_ = false;
  bool ending_ = false;
  std::thread thread_;
};

}  // namespace rallix
