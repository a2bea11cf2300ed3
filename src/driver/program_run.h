// Running the one program file of a process: find it, read it, build its tree, execute it.
#pragma once

#include <string>

#include "streams/source_search.h"

namespace kavor {

struct Interpreter;

// Runs the program file `name` (as given on the command line) and returns the exit status:
// 0 after a normal end or an empty program, 1 after a reported error, or the status the
// program chose itself. Every message goes through the standard stream.
int runProgramFile(Interpreter& interp, const std::string& name);

}  // namespace kavor
