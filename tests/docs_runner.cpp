// Runs the examples of one chapter of the user guide (a Markdown file) and compares what
// they print with what the chapter shows, so that the guide cannot drift from kavor.
// The chapter tags each fenced block:
//   ```kavor [name.kv]   a program; it runs as `kavor name.kv` (example.kv when no name is
//                        given) in a directory of its own
//   ```kavor-file name   a further file (one the program brings in with `need`), not run:
//                        written beside the next `kavor` program, under its name
//   ```input             what the program before it reads from standard input
//   ```output            exactly what the program before it prints, error messages
//                        included; without one it must print nothing and end with status 0
//   ```text, ```sh, ...  anything else, not run
// A block without a tag fails: every example is either run or says what it is instead.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "runner_support.h"

namespace {

namespace fs = std::filesystem;

struct Block {
  int line = 0;      // line of the opening fence, for messages
  std::string tag;   // first word after the fence
  std::string name;  // second word: the program file name of a `kavor` block
  std::string text;  // the lines inside, each ended by "\n"
};

std::vector<Block> fencedBlocks(std::istream& in) {
  std::vector<Block> blocks;
  std::optional<Block> open;
  size_t indent = 0;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    size_t start = line.find_first_not_of(' ');
    bool fence = start != std::string::npos && line.compare(start, 3, "```") == 0;
    if (open && fence) {
      blocks.push_back(*open);
      open.reset();
    } else if (fence) {
      open = Block{number, "", "", ""};
      indent = start;
      std::istringstream info(line.substr(start + 3));
      info >> open->tag >> open->name;
    } else if (open) {
      // Blocks inside list items are indented as a whole; the indentation is not theirs.
      size_t blanks = std::min(line.find_first_not_of(' '), line.size());
      open->text += line.substr(std::min(indent, blanks)) + "\n";
    }
  }
  if (open) blocks.push_back(*open);
  return blocks;
}

// Runs one program in a fresh directory, with the further files it brings in beside it, and
// returns what it printed and its status.
kavor_test::CommandResult runExample(const std::string& binary, const Block& program, const std::string& input,
                                     const std::vector<const Block*>& files) {
  char pattern[] = "/tmp/kavor_docs_XXXXXX";
  if (!mkdtemp(pattern)) return {};
  fs::path directory = pattern;
  for (const Block* file : files) {
    fs::create_directories((directory / file->name).parent_path());
    std::ofstream(directory / file->name, std::ios::binary) << file->text;
  }
  std::string name = program.name.empty() ? "example.kv" : program.name;
  std::ofstream(directory / name, std::ios::binary) << program.text;
  std::ofstream(directory / "stdin.txt", std::ios::binary) << input;
  kavor_test::CommandResult result =
      kavor_test::runCaptured("cd " + kavor_test::shellQuote(directory.string()) + " && timeout 60 " +
                              kavor_test::shellQuote(binary) + " " + kavor_test::shellQuote(name) +
                              " < stdin.txt 2>&1");
  fs::remove_all(directory);
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: kavor_docs_runner <kavor binary> <chapter.md>\n";
    return 2;
  }
  const std::string binary = argv[1], chapter = argv[2];
  std::ifstream in(chapter, std::ios::binary);
  if (!in) {
    std::cerr << "cannot read " << chapter << "\n";
    return 2;
  }
  const std::vector<Block> blocks = fencedBlocks(in);
  int failures = 0, examples = 0;
  std::vector<const Block*> files;  // the further files of the next program
  auto complain = [&](const Block& block, const std::string& what) {
    std::cout << chapter << ":" << block.line << ": " << what << "\n";
    ++failures;
  };
  for (size_t i = 0; i < blocks.size(); ++i) {
    const Block& block = blocks[i];
    if (block.tag.empty()) {
      complain(block, "code block without a tag: mark it `kavor` (a program the tests run), "
                      "`input`, `output`, or what it is instead (`text`, `sh`, ...)");
      continue;
    }
    if (block.tag == "input" || block.tag == "output") {
      if (i == 0 || (blocks[i - 1].tag != "kavor" && blocks[i - 1].tag != "input"))
        complain(block, "an " + block.tag + " block must follow the `kavor` block it belongs to");
      continue;
    }
    if (block.tag == "kavor-file") {
      if (block.name.empty()) complain(block, "a kavor-file block needs the file's name");
      else files.push_back(&block);
      continue;
    }
    if (block.tag != "kavor") continue;
    ++examples;
    std::string input;
    const Block* output = nullptr;
    for (size_t next = i + 1; next < blocks.size() && next <= i + 2; ++next) {
      if (blocks[next].tag == "input" && !output && input.empty()) input = blocks[next].text;
      else if (blocks[next].tag == "output" && !output) output = &blocks[next];
      else break;
    }
    kavor_test::CommandResult run = runExample(binary, block, input, files);
    files.clear();
    std::string printed = run.output;
    if (!printed.empty() && printed.back() != '\n') printed += '\n';  // the block shows a last line end
    const std::string shown = output ? output->text : "";
    if (printed != shown)
      complain(block, "the example prints something else\n--- shown ---\n" + shown + "--- printed ---\n" + printed +
                          "--- end ---");
    else if (!output && run.status != 0)
      complain(block, "the example ends with status " + std::to_string(run.status) + " and shows no output");
  }
  if (failures == 0) std::cout << chapter << ": " << examples << " examples ran as shown\n";
  return failures == 0 ? 0 : 1;
}
