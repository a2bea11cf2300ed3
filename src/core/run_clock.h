// The two clocks of a run: the CPU time of the process and the elapsed real time, each
// measured from its start (the start of the run, or the last set_calctime / set_realtime).
#pragma once

#include <ctime>

namespace kavor {

struct RunClock {
  // CPU seconds of the process when the CPU clock was last started.
  double cpuStart = cpuSeconds();
  // Seconds of the monotonic clock when the real-time clock was last started; monotonic, so
  // that a change of the system time never makes an elapsed time negative.
  double realStart = realSeconds();

  static double cpuSeconds() { return seconds(CLOCK_PROCESS_CPUTIME_ID); }
  static double realSeconds() { return seconds(CLOCK_MONOTONIC); }

 private:
  static double seconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
  }
};

}  // namespace kavor
