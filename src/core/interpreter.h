// The interpreter context: one object that owns all state of a run. It is created by the
// driver at start-up and passed by reference to everything that needs run-wide state.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/run_clock.h"
#include "numbers/bigreal.h"
#include "streams/file_data.h"
#include "streams/settings_link.h"
#include "streams/str_data.h"
#include "streams/terminal_data.h"

namespace kavor {

// The program tree; whoever replaces or destroys `programTree` or `includedTrees` includes
// frontend/tree_node.h.
struct TreeNode;

// Settings from kavor.sys and then the command line; a later assignment overwrites.
struct RunSettings {
  std::string inputFile;                  // "" = read the keyboard
  bool inputBinary = false;               // set by -ib
  std::string outputFile;                 // "" = write the terminal
  bool outputBinary = false;              // set by -ob / -Ob
  bool outputAppend = false;              // set by -O / -Ob
  bool version = false;                   // set by -v
  std::string application;                // -a; "" or a feasible application name
  std::vector<std::string> includeDirs;   // searched in order for program and included files
};

struct Interpreter {
  // --- driver and streams ---
  RunSettings settings;
  // Entry 0: the program file exactly as given; then the program's own arguments.
  std::vector<std::string> programArguments;
  std::string interpreterDirectory;  // from argument 0; "" when unknown
  // One settings record per stream class; every stream points at its class's record.
  StreamSettings standardSettings;
  StreamSettings stringSettings;
  StreamSettings fileSettings;
  // Every `str` and `file` made while this interpreter lives uses the two records above.
  StreamSettingsLink streamSettingsLink{&stringSettings, &fileSettings};
  TERMINAL_DATA standardStream{&standardSettings};
  // Root of the program tree being run; released at teardown.
  std::unique_ptr<TreeNode> programTree;

  // --- analysis and execution ---
  // How far (bytes) the native stack may grow below the first statement before a run stops
  // with "Stack overflow"; set by the entry point from the stack it runs on.
  long stackLimit = 949999;
  // Names of the included source files, by file index; index -1 is the program file.
  std::vector<std::string> sourceFiles;
  // The trees of the included files, by the same index as `sourceFiles`: read before the
  // program runs and kept until it ends, since their statements run where `need` stands
  // and their procedures may be called until the end.
  std::vector<std::unique_ptr<TreeNode>> includedTrees;
  // The CPU-time and real-time clocks of get_calctime and get_realtime.
  RunClock clock;
  // The working and output precision of reals; every real combined or written while this
  // interpreter lives uses them.
  RealPrecision realPrecision;
  RealPrecisionLink realPrecisionLink{&realPrecision};
};

}  // namespace kavor
