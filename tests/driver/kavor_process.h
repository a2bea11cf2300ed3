// Runs the built kavor binary in a scratch directory and captures what it prints.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace kavor_test {

namespace fs = std::filesystem;

struct Outcome {
  std::string output;  // standard output and standard error, as written
  int status = -1;     // exit status, or 128 + signal
};

struct Launch {
  std::string executable;
  std::string argument0;  // what the process sees as its argument 0
  std::vector<std::string> arguments;
  std::string directory;  // working directory
  std::vector<std::pair<std::string, std::string>> environment;  // variables to set
  std::string input{};  // fed through a pipe as standard input; none (/dev/null) when empty
};

inline Outcome launch(const Launch& request) {
  int channel[2], feed[2];
  if (pipe(channel) != 0 || pipe(feed) != 0) return {};
  if (fork() == 0) {
    if (chdir(request.directory.c_str()) != 0) _exit(126);
    close(feed[1]);
    dup2(request.input.empty() ? open("/dev/null", O_RDONLY) : feed[0], 0);
    dup2(channel[1], 1);
    dup2(channel[1], 2);
    close(channel[0]);
    for (const auto& [name, value] : request.environment) setenv(name.c_str(), value.c_str(), 1);
    std::vector<char*> argv{const_cast<char*>(request.argument0.c_str())};
    for (const std::string& argument : request.arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(request.executable.c_str(), argv.data());
    _exit(127);
  }
  close(channel[1]);
  close(feed[0]);
  // Inputs stay far below the pipe's buffer, so writing them all first cannot block.
  if (write(feed[1], request.input.data(), request.input.size()) < 0) return {};
  close(feed[1]);
  Outcome run;
  char buffer[4096];
  for (ssize_t got; (got = read(channel[0], buffer, sizeof buffer)) > 0;) run.output.append(buffer, size_t(got));
  close(channel[0]);
  int raw = 0;
  wait(&raw);
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  return run;
}

// A fresh directory per test with a private copy of the binary, so that a kavor.sys can lie
// beside it. The copy runs as "./kavor": the interpreter directory is ".".
class KavorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kavor_driver_XXXXXX";
    root = mkdtemp(pattern);
    fs::copy_file(KAVOR_BINARY, root / "kavor");
    write("p.kv", "");
  }
  void TearDown() override { fs::remove_all(root); }

  Outcome kavor(std::vector<std::string> arguments) {
    return launch({(root / "kavor").string(), "./kavor", std::move(arguments), root.string(), {}});
  }
  void write(const std::string& name, const std::string& text) {
    fs::create_directories((root / name).parent_path());
    std::ofstream(root / name, std::ios::binary) << text;
  }
  std::string read(const std::string& name) {
    std::ifstream in(root / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static std::string banner(const std::string& directory = ".") {
    return "Kavor interpreter, version 1.300.\nKavor interpreter directory: " + directory + "\n\n";
  }
  // What -v adds for a program in the working directory.
  static std::string versioned(const std::string& directory = ".") {
    return banner(directory) + "Kavor program directory: .\n\n";
  }

  fs::path root;
};

}  // namespace kavor_test
