// Work that goes on beside the frames, such as a hint's search. On the desktop it runs on a thread of its
// own while the frames go on. A browser gives the page no threads: there it runs when the game first calls
// Step, in slices, and between slices (its pause function) the browser gets its turn, so the page stays
// alive and the music plays; the game's frame waits for the work, whose own budget bounds the wait.
#pragma once

#include <functional>
#include <memory>

namespace dusk {

// Called by the work now and then: in a browser it gives the browser a turn and comes back; on the desktop it
// is empty. False when the task was cancelled: the work should then end as soon as it can.
using task_pause = std::function<bool()>;

class background_task {
 public:
  virtual ~background_task() = default;
  // True once the work has returned.
  virtual bool Done() const = 0;
  // Runs the work to its end (in a browser); does nothing on the desktop, where it runs alone.
  virtual void Step() = 0;
  // Asks the work to end: its pause function answers false from now on (a thread's work, which never
  // pauses, runs to its end).
  virtual void Cancel() = 0;
};

// Starts the work (taking a pause function that is empty where nothing needs to pause). The task may be
// dropped before it is done: a thread is left to finish on its own.
std::shared_ptr<background_task> StartBackgroundTask(std::function<void(const task_pause& pause)> work);

}  // namespace dusk
