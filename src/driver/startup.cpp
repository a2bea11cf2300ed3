#include "driver/startup.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/interpreter.h"
#include "core/messages.h"
#include "driver/banner.h"
#include "driver/config_file.h"
#include "driver/interpreter_directory.h"
#include "driver/options.h"
#include "driver/program_run.h"
#include "frontend/tree_node.h"

namespace kavor {

namespace {

// Start-up messages go straight to the process's standard output: the standard stream is not
// set up yet, or (for the usage) was set up only for the program.
int failStartup(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
  return 1;
}

void tearDown(Interpreter& interp) {
  interp.programTree.reset();
  interp.standardStream.closeFiles();
  interp.settings = RunSettings{};
  std::fflush(stdout);
}

}  // namespace

int runKavor(int argc, const char* const* argv, long stackLimit) {
  // The interpreter is large and lives as long as the process; it stays off the native stack
  // that the executor watches for runaway recursion.
  auto interp = std::make_unique<Interpreter>();
  interp->stackLimit = stackLimit;
  interp->programArguments.reserve(argc > 0 ? static_cast<size_t>(argc) : 0);

  const std::string argument0 = argc > 0 && argv[0] != nullptr ? argv[0] : "";
  const std::string& directory = interp->interpreterDirectory = findInterpreterDirectory(argument0);
  const std::string banner = bannerText(directory);

  const std::string configPath = directory.empty() ? "kavor.sys" : directory + "/kavor.sys";
  if (isRegularFile(configPath)) {
    if (Failure failure = readConfigFile(configPath, interp->settings)) return failStartup(banner + failure.text());
  }

  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i] != nullptr ? argv[i] : "");
  if (Failure failure = parseCommandLine(arguments, interp->settings, interp->programArguments)) {
    return failStartup(banner + failure.text());
  }
  completeIncludeDirectories(interp->settings.includeDirs, directory);

  const RunSettings& settings = interp->settings;
  if (Failure failure = interp->standardStream.redirect(settings.inputFile, settings.inputBinary, settings.outputFile,
                                                        settings.outputBinary, settings.outputAppend)) {
    return failStartup(failure.text());
  }
  if (interp->programArguments.empty()) return failStartup(usageText(directory));
  // The standard stream never refuses a write: its bytes go to the screen or an open file.
  if (settings.version) (void)interp->standardStream.write(banner, false);

  int status = runProgramFile(*interp, interp->programArguments[0]);
  const std::string outputName = interp->standardStream.outputName();
  tearDown(*interp);
  // Output that could not be written is lost: the run must not look like a success. The
  // report cannot go where the output went, so it goes to standard error.
  if (interp->standardStream.writeFailed()) {
    std::string text = fillKey("datkannicschwer", {outputName.empty() ? "/dev/stdout" : outputName}) + "\n";
    std::fwrite(text.data(), 1, text.size(), stderr);
    if (status == 0) status = 1;
  }
  return status;
}

}  // namespace kavor
