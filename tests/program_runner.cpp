// Runs one Kavor test program and compares what it prints and its exit status with the
// expectations written in its own comments:
//   # expect: <line>          one expected output line, in order ("# expect:" alone: empty line)
//   # expect status: <n>      the exit status (0 when absent)
//   # args: <a> <b> ...       program arguments, split at blanks
//   # stdin: <line>           one line fed to standard input (a pipe), in order
//   # options: <o> ...        interpreter options placed before the program file
//   # scratch                 run in a fresh empty directory (with a copy of the program),
//                             removed afterwards: for programs that make files
// The program runs in its own directory and is named by its file name, so error messages
// show that name. Output is compared byte for byte; a mismatch prints both sides.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "runner_support.h"

namespace {

using kavor_test::shellQuote;

std::vector<std::string> splitBlanks(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  std::string word;
  while (in >> word) words.push_back(word);
  return words;
}

bool takePrefix(const std::string& line, const std::string& prefix, std::string& rest) {
  if (line.compare(0, prefix.size(), prefix) != 0) return false;
  rest = line.substr(prefix.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: kavor_program_runner <kavor binary> <program.kv>\n";
    return 2;
  }
  std::string binary = argv[1];
  std::string program = argv[2];
  std::ifstream source(program, std::ios::binary);
  if (!source) {
    std::cerr << "cannot read " << program << "\n";
    return 2;
  }

  std::string expected, stdinText, rest;
  std::vector<std::string> args, options;
  int expectedStatus = 0;
  bool hasExpectation = false, scratch = false;
  std::string line;
  while (std::getline(source, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t at = line.find("# expect");
    if (at == std::string::npos) at = line.find("# args:");
    if (at == std::string::npos) at = line.find("# stdin:");
    if (at == std::string::npos) at = line.find("# options:");
    if (at == std::string::npos) at = line.find("# scratch");
    if (at == std::string::npos) continue;
    std::string directive = line.substr(at);
    if (takePrefix(directive, "# expect status: ", rest)) {
      expectedStatus = std::atoi(rest.c_str());
      hasExpectation = true;
    } else if (takePrefix(directive, "# expect: ", rest)) {
      expected += rest + "\n";
      hasExpectation = true;
    } else if (directive == "# expect:") {
      expected += "\n";
      hasExpectation = true;
    } else if (takePrefix(directive, "# args: ", rest)) {
      for (auto& word : splitBlanks(rest)) args.push_back(word);
    } else if (takePrefix(directive, "# options: ", rest)) {
      for (auto& word : splitBlanks(rest)) options.push_back(word);
    } else if (takePrefix(directive, "# stdin: ", rest)) {
      stdinText += rest + "\n";
    } else if (directive == "# scratch") {
      scratch = true;
    } else if (directive == "# stdin:") {
      stdinText += "\n";
    }
  }
  if (!hasExpectation) {
    std::cerr << program << ": no '# expect' lines\n";
    return 2;
  }

  std::string dir = ".", name = program;
  if (auto slash = program.rfind('/'); slash != std::string::npos) {
    dir = program.substr(0, slash);
    name = program.substr(slash + 1);
  }
  char scratchPath[] = "/tmp/kavor_scratch_XXXXXX";
  if (scratch) {
    if (mkdtemp(scratchPath) == nullptr) return 2;
    std::ifstream in(program, std::ios::binary);
    std::ofstream out(std::string(scratchPath) + "/" + name, std::ios::binary);
    out << in.rdbuf();
    if (!out) return 2;
    dir = scratchPath;
  }
  char stdinPath[] = "/tmp/kavor_stdin_XXXXXX";
  int fd = mkstemp(stdinPath);
  if (fd < 0) return 2;
  if (!stdinText.empty() && write(fd, stdinText.data(), stdinText.size()) < 0) return 2;
  close(fd);

  std::string command = "cd " + shellQuote(dir) + " && timeout 60 " + shellQuote(binary);
  for (auto& option : options) command += " " + shellQuote(option);
  command += " " + shellQuote(name);
  for (auto& arg : args) command += " " + shellQuote(arg);
  command += std::string(" < ") + stdinPath + " 2>&1";

  kavor_test::CommandResult run = kavor_test::runCaptured(command);
  unlink(stdinPath);
  if (scratch) {
    // Rights a program took away must not keep the directory from going.
    std::string clean = "chmod -R u+rwx " + shellQuote(scratchPath) + "; rm -rf " + shellQuote(scratchPath);
    if (std::system(clean.c_str()) != 0) std::cerr << "cannot remove " << scratchPath << "\n";
  }
  const std::string& actual = run.output;
  int status = run.status;

  bool ok = true;
  if (actual != expected) {
    ok = false;
    std::cout << "output differs\n--- expected ---\n" << expected << "--- actual ---\n" << actual
              << "--- end ---\n";
  }
  if (status != expectedStatus) {
    ok = false;
    std::cout << "status " << status << ", expected " << expectedStatus << "\n";
  }
  return ok ? 0 : 1;
}
