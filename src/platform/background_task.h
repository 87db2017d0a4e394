// Work that goes on beside the frames, such as a hint's search. On the desktop it runs on a thread of its
// own. A browser gives the page no threads: there it runs as a fiber, a slice at a time, whenever the game
// calls Step between its frames, and the work hands control back by calling its pause function.
#pragma once

#include <functional>
#include <memory>

namespace dusk {

// Called by the work now and then: on the desktop it returns at once; in a browser it hands control back to
// the frame that called Step and returns when the next Step resumes the work. False when the task was
// cancelled: the work should then end as soon as it can.
using task_pause = std::function<bool()>;

class background_task {
 public:
  virtual ~background_task() = default;
  // True once the work has returned.
  virtual bool Done() const = 0;
  // Runs the work until it pauses or ends (in a browser); does nothing on the desktop, where it runs alone.
  virtual void Step() = 0;
  // Asks the work to end: its pause function answers false from now on (a thread's work, which never
  // pauses, runs to its end).
  virtual void Cancel() = 0;
};

// Starts the work (taking a pause function that is empty where nothing needs to pause). The task may be
// dropped before it is done: a thread is left to finish on its own, and a fiber is cancelled and run to its
// end first.
std::shared_ptr<background_task> StartBackgroundTask(std::function<void(const task_pause& pause)> work);

}  // namespace dusk
