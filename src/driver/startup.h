// The life of the kavor process from its arguments to its exit status.
#pragma once

namespace kavor {

// Creates the interpreter, reads kavor.sys and the command line, redirects the standard
// stream, prints the usage or the banner, runs the program file and tears everything down.
// Returns the process exit status. `stackLimit` is how far (in bytes) the native stack may
// grow below the first statement before a run stops with "Stack overflow".
int runKavor(int argc, const char* const* argv, long stackLimit);

}  // namespace kavor
