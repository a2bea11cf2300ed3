// What the runners of Kavor programs share: quoting for the shell and running a command
// with its output captured.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace kavor_test {

inline std::string shellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') quoted += "'\\''";
    else quoted += c;
  }
  return quoted + "'";
}

struct CommandResult {
  std::string output;  // what the command wrote to its standard output
  int status = -1;     // its exit status, 128 + signal after a signal, -1 when it did not start
};

inline CommandResult runCaptured(const std::string& command) {
  CommandResult result;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.output.append(buffer, got);
  int raw = pclose(pipe);
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  return result;
}

}  // namespace kavor_test
