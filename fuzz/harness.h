// What the fuzz targets share: one in-process run of the interpreter on a program file, with
// the standard stream redirected as the command line would, on a thread with a large stack,
// and stopped when it runs too long.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kavor_fuzz {

// A run's files, in a private directory made once per process.
struct RunFiles {
  std::string program;  // the program text
  std::string input;    // the bytes of the input file
  bool binaryInput = false;   // -ib instead of -i
  bool binaryOutput = false;  // -ob instead of -o (output goes to /dev/null either way)
};

// Writes the files and runs the program; a run that takes longer than `seconds` is made to
// stop at its next statement (every statement then raises "Stack overflow").
void runProgram(const RunFiles& files, double seconds = 1.0);

// Runs the fixed program `reader` on the fuzz input as its input file (read with -ib and
// written with -ob when `binary`).
int runReader(const char* reader, const uint8_t* data, size_t size, bool binary);

}  // namespace kavor_fuzz
