#include "driver/program_run.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/error.h"
#include "core/failure.h"
#include "core/interpreter.h"
#include "core/messages.h"
#include "exec/run_program.h"
#include "frontend/tree_builder.h"
#include "streams/file_data.h"
#include "streams/file_handle.h"
#include "streams/source_search.h"

namespace kavor {

namespace {

// Why opening `path` failed, in the system's words, for the message that says so.
std::string openFailureReason(const std::string& path) {
  if (::access(path.c_str(), R_OK) == 0) return "";
  return std::string(" (") + std::strerror(errno) + ")";
}

}  // namespace

int runProgramFile(Interpreter& interp, const std::string& name) {
  // The standard stream never refuses a write: its bytes go to the screen or an open file.
  auto say = [&interp](const std::string& text) { (void)interp.standardStream.write(text, false); };
  try {
    const std::optional<std::string> path = findSourceFile(name, interp.settings.includeDirs);
    if (!path) {
      // A directory where the program was expected is named as such: "does not exist"
      // would send the user looking for a file that is plainly there.
      bool directory = !name.empty() && anyCandidate(name, interp.settings.includeDirs, isDirectory);
      say(fillKey(directory ? "coddatistver" : "coddatexinic", {name}));
      return 1;
    }
    if (interp.settings.version) say("Kavor program directory: " + directoryPart(*path) + "\n\n");

    FILE_DATA file(*path);
    if (Failure failure = file.open("i")) {
      say(failure.text() + openFailureReason(*path) + "\n");
      return 1;
    }
    const std::vector<std::string> lines = readAllLines(file);
    file.close();

    interp.programTree.reset();
    std::unique_ptr<TreeNode> tree = buildTree(name, lines, true);
    if (!tree) return 0;
    interp.programTree = std::move(tree);
    return runProgram(interp, *interp.programTree, name);
  } catch (const ERROR& error) {
    // Errors of reading and building the tree; the executor reports its own.
    say(formatError(errorKindTitle(error.kind), error.file, error.line, error.message));
    return 1;
  } catch (...) {
    say(fillKey("fehausdatunefeh", {name}));
    return 1;
  }
}

}  // namespace kavor
