// Background work: a detached thread on the desktop; in a browser, work run at its first step that gives the
// browser a turn at every pause.
#include "platform/background_task.h"

#include <atomic>

#ifdef __EMSCRIPTEN__
#include "platform/web_page.h"
#else
#include <thread>
#endif

namespace dusk {

namespace {

#ifdef __EMSCRIPTEN__

// The page has no threads: the work runs whole at its first Step, and every pause gives the browser a turn
// (input, timers, the music's next piece), so that the page stays alive while the game's frame waits.
class page_task : public background_task {
 public:
  explicit page_task(std::function<void(const task_pause&)> work) : work_(std::move(work)) {}

  bool Done() const override { return done_; }
  void Cancel() override { cancelled_ = true; }
  void Step() override {
    if (done_ || running_) return;
    running_ = true;
    work_([this] {
      web::Yield();
      return !cancelled_;
    });
    running_ = false;
    done_ = true;
  }

 private:
  std::function<void(const task_pause&)> work_;
  bool running_ = false;
  bool done_ = false;
  bool cancelled_ = false;
};

#else

class thread_task : public background_task {
 public:
  bool Done() const override { return done_->load(); }
  void Step() override {}
  // The thread's work never pauses, so it never hears of this; its own budget ends it.
  void Cancel() override {}

  std::shared_ptr<std::atomic<bool>> done_ = std::make_shared<std::atomic<bool>>(false);
};

#endif

}  // namespace

std::shared_ptr<background_task> StartBackgroundTask(std::function<void(const task_pause& pause)> work) {
#ifdef __EMSCRIPTEN__
  return std::make_shared<page_task>(std::move(work));
#else
  auto task = std::make_shared<thread_task>();
  // Detached: dropping the task must not wait for the work, whose own budget bounds how long it runs on.
  std::thread([work = std::move(work), done = task->done_] {
    work(task_pause{});
    done->store(true);
  }).detach();
  return task;
#endif
}

}  // namespace dusk
