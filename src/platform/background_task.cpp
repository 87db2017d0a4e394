// Background work: a detached thread on the desktop, an Emscripten fiber run in slices in a browser.
#include "platform/background_task.h"

#include <atomic>
#include <vector>

#ifdef __EMSCRIPTEN__
#include <emscripten/fiber.h>
#else
#include <thread>
#endif

namespace dusk {

namespace {

#ifdef __EMSCRIPTEN__

// The fiber's own C stack, and the room that Asyncify needs to set aside a paused call stack (the game's,
// while the work runs, and the work's, while the game runs).
constexpr size_t kFiberStack = 1 << 20;
constexpr size_t kAsyncifyStack = 1 << 18;

class fiber_task : public background_task {
 public:
  explicit fiber_task(std::function<void(const task_pause&)> work)
      : work_(std::move(work)), c_stack_(kFiberStack), work_asyncify_(kAsyncifyStack), game_asyncify_(kAsyncifyStack) {
    emscripten_fiber_init(&work_fiber_, &fiber_task::Entry, this, c_stack_.data(), c_stack_.size(),
                          work_asyncify_.data(), work_asyncify_.size());
  }
  ~fiber_task() override {
    if (!started_) return;
    // The work's memory lives on its paused stack: it must be run to its end to let it go.
    Cancel();
    while (!done_) Step();
  }
  fiber_task(const fiber_task&) = delete;
  fiber_task& operator=(const fiber_task&) = delete;

  bool Done() const override { return done_; }
  void Cancel() override { cancelled_ = true; }
  void Step() override {
    if (done_) return;
    started_ = true;
    emscripten_fiber_init_from_current_context(&game_fiber_, game_asyncify_.data(), game_asyncify_.size());
    emscripten_fiber_swap(&game_fiber_, &work_fiber_);
  }

 private:
  static void Entry(void* arg) {
    auto* self = static_cast<fiber_task*>(arg);
    self->work_([self] {
      emscripten_fiber_swap(&self->work_fiber_, &self->game_fiber_);
      return !self->cancelled_;
    });
    self->done_ = true;
    // A fiber's entry never returns: it hands control back for good.
    emscripten_fiber_swap(&self->work_fiber_, &self->game_fiber_);
  }

  std::function<void(const task_pause&)> work_;
  std::vector<char> c_stack_;
  std::vector<char> work_asyncify_;
  std::vector<char> game_asyncify_;
  emscripten_fiber_t work_fiber_{};
  emscripten_fiber_t game_fiber_{};
  bool started_ = false;
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
  return std::make_shared<fiber_task>(std::move(work));
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
