// Process entry of the kavor interpreter.
#include <cstdio>
#include <exception>

#include "driver/startup.h"

int main(int argc, char** argv) {
  try {
    return kavor::runKavor(argc, argv);
  } catch (const std::exception& failure) {
    // Only exhaustion of memory during start-up or teardown can get here.
    std::fprintf(stderr, "kavor: %s\n", failure.what());
    return 1;
  }
}
