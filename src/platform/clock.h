// The millisecond clock and sleeping; tests switch to a virtual clock in which sleeping advances time at once.
#pragma once

#include <cstdint>

namespace dusk {

int ClockMs();  // wrapping 32-bit milliseconds; only differences mean anything
void SleepMs(int ms);  // nothing when ms is negative

// Virtual time: ClockMs() returns the virtual time, SleepMs() adds to it without waiting.
void UseVirtualClock(int start_ms = 0);
void UseRealClock();  // the real clock goes on from the virtual time, so time never runs backwards
bool VirtualClockInUse();
void AdvanceVirtualClock(int ms);

}  // namespace dusk
