// kavor.sys: the defaults an installation gives every run, one option per line.
#pragma once

#include <string>

#include "core/failure.h"
#include "core/interpreter.h"

namespace kavor {

// Reads the configuration file at `path` (which names a regular file) into `settings`.
// Each non-empty line is a key, one white-space character and a value (blanks and tabs
// around it dropped); the keys are the option letters. Stops at the first faulty line and
// returns its message (without the banner that precedes it), or none.
Failure readConfigFile(const std::string& path, RunSettings& settings);

}  // namespace kavor
