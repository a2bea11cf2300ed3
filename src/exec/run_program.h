// Entry point from the driver into analysis and execution.
#pragma once

#include <string>

namespace kavor {

struct Interpreter;
struct TreeNode;

// Analyses and executes a built program tree. Reports its own errors and an unhandled
// exception through the standard stream. Returns the process exit status: 0 after a normal
// end, 1 after a reported error, or the status a program chose with `exit`.
int runProgram(Interpreter& interp, TreeNode& root, const std::string& programName);

}  // namespace kavor
