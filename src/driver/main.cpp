// Process entry of the kavor interpreter.
#include <pthread.h>

#include <cstdio>
#include <exception>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "driver/startup.h"

namespace {

// The interpreter runs on a thread of its own with a large stack: values nest and
// programs recurse through native recursion, and a large stack lets both go deep before
// the run stops with "Stack overflow". Only touched pages of the stack take memory.
constexpr size_t kInterpreterStack = size_t(1) << 30;
// Kavor recursion may use this much of it; the rest is headroom for the recursion of deeply
// nested values (copying, comparing, destroying) below the deepest statement. The address
// sanitizer cannot unwind an exception across more than 64 MiB of stack, so builds that
// use it stay below that.
#if defined(__SANITIZE_ADDRESS__)
constexpr long kRecursionLimit = 32L << 20;
#else
constexpr long kRecursionLimit = 256L << 20;
#endif
// Memory the allocator keeps for reuse instead of handing it back to the system. Programs
// build and drop large lists and strings again and again (every sort, split or copy of a big
// value); returning the memory each time and faulting fresh pages in for the next one costs
// more than the work itself.
constexpr int kKeptFreeMemory = 256 << 20;

// Without a thread of its own the interpreter keeps within the default process stack.
constexpr long kMainStackLimit = 949999;

struct Run {
  int argc;
  char** argv;
  long stackLimit;
  int status = 1;
};

int runGuarded(int argc, char** argv, long stackLimit) {
  try {
    return kavor::runKavor(argc, argv, stackLimit);
  } catch (const std::exception& failure) {
    // Only exhaustion of memory during start-up or teardown can get here.
    std::fprintf(stderr, "kavor: %s\n", failure.what());
    return 1;
  }
}

void* runOnThread(void* data) {
  auto* run = static_cast<Run*>(data);
  run->status = runGuarded(run->argc, run->argv, run->stackLimit);
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
#if defined(__GLIBC__)
  mallopt(M_MMAP_THRESHOLD, kKeptFreeMemory);
  mallopt(M_TRIM_THRESHOLD, kKeptFreeMemory);
#endif
  Run run{argc, argv, kRecursionLimit};
  pthread_attr_t attributes;
  pthread_t thread;
  bool started = pthread_attr_init(&attributes) == 0 &&
                 pthread_attr_setstacksize(&attributes, kInterpreterStack) == 0 &&
                 pthread_create(&thread, &attributes, runOnThread, &run) == 0;
  if (!started) return runGuarded(argc, argv, kMainStackLimit);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attributes);
  return run.status;
}
