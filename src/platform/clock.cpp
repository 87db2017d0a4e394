// The millisecond clock, with a virtual mode in which sleeping costs no real time.
#include "platform/clock.h"

#include <chrono>
#include <thread>

#include "platform/web_page.h"

namespace dusk {

namespace {

bool virtual_in_use = false;
int64_t virtual_ms = 0;
// Added to the steady clock, so that going back from virtual time to real time never turns the clock back.
int64_t real_offset_ms = 0;

int64_t SteadyMs() {
  auto since = std::chrono::steady_clock::now().time_since_epoch();
  return std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
}

int Wrap(int64_t ms) { return static_cast<int>(static_cast<uint32_t>(static_cast<uint64_t>(ms))); }

}  // namespace

int ClockMs() {
  if (virtual_in_use) return Wrap(virtual_ms);
  return Wrap(SteadyMs() + real_offset_ms);
}

void SleepMs(int ms) {
  if (ms <= 0) return;
  if (virtual_in_use) {
    virtual_ms += ms;
    return;
  }
  if (web::kInBrowser) {
    web::Sleep(ms);
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void UseVirtualClock(int start_ms) {
  virtual_in_use = true;
  virtual_ms = start_ms;
}

void UseRealClock() {
  if (virtual_in_use) real_offset_ms = virtual_ms - SteadyMs();
  virtual_in_use = false;
}

bool VirtualClockInUse() { return virtual_in_use; }

void AdvanceVirtualClock(int ms) { virtual_ms += ms; }

}  // namespace dusk
