// Running the one program file of a process: find it, read it, build its tree, execute it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kavor {

struct Interpreter;

// The path under which `name` is read: `name` itself when it names a readable file that is
// not a directory (a pipe such as /dev/stdin counts), else the first include directory D for
// which D + "/" + name does. None when nothing is found.
std::optional<std::string> findSourceFile(const std::string& name, const std::vector<std::string>& includeDirs);

// Everything before the last "/" of `path` (else before its last "\"), or "." without either.
std::string directoryPart(const std::string& path);

// Runs the program file `name` (as given on the command line) and returns the exit status:
// 0 after a normal end or an empty program, 1 after a reported error, or the status the
// program chose itself. Every message goes through the standard stream.
int runProgramFile(Interpreter& interp, const std::string& name);

}  // namespace kavor
