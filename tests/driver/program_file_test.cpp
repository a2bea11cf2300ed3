// Finding and reading the program file, and what a run prints about it.
#include "kavor_process.h"

namespace kavor_test {
namespace {

using ProgramFileTest = KavorTest;

// Started as "bin/kavor" with "-n L", the include list is L, bin, bin/L, bin/bin.
TEST_F(ProgramFileTest, IncludeDirectoriesAreCompletedWithTheInterpreterDirectory) {
  fs::create_directories(root / "bin");
  fs::copy_file(root / "kavor", root / "bin/kavor");
  for (std::string file : {"L/inL.kv", "bin/L/inL.kv", "bin/inD.kv", "bin/L/inDL.kv", "bin/bin/inDD.kv"}) write(file, "");
  auto directoryOf = [&](const std::string& program) {
    return launch({(root / "bin/kavor").string(), "bin/kavor", {"-v", "-n", "L", program}, root.string(), {}}).output;
  };
  EXPECT_EQ(directoryOf("inL.kv"), banner("bin") + "Kavor program directory: L\n\n");
  EXPECT_EQ(directoryOf("inD.kv"), banner("bin") + "Kavor program directory: bin\n\n");
  EXPECT_EQ(directoryOf("inDL.kv"), banner("bin") + "Kavor program directory: bin/L\n\n");
  EXPECT_EQ(directoryOf("inDD.kv"), banner("bin") + "Kavor program directory: bin/bin\n\n");
  write("lib/deep/q.kv", "");
  EXPECT_EQ(kavor({"-n", "nowhere", "-n", "lib", "-v", "deep/q.kv"}).output,
            banner() + "Kavor program directory: lib/deep\n\n");
}

TEST_F(ProgramFileTest, MissingDirectoryOrUnreadable) {
  fs::create_directories(root / "lib/dir");
  for (std::string name : {"missing.kv", ""}) {
    Outcome run = kavor({"-n", "lib", name});
    EXPECT_EQ(run.output, "Program file '" + name + "' does not exist\n");
    EXPECT_EQ(run.status, 1);
  }
  // A directory as given or inside an include directory is named as what it is.
  for (std::string name : {"lib", "dir", "/tmp"}) {
    Outcome run = kavor({"-n", "lib", name});
    EXPECT_EQ(run.output, "Program file '" + name + "' is a directory\n");
    EXPECT_EQ(run.status, 1);
  }
  // A file found in an include directory wins over a directory of the same name.
  write("lib/lib", "outl(7)");
  EXPECT_EQ(kavor({"-n", "lib", "lib"}).output, "7\n");
  kavor({"-o", "out.txt", "missing.kv"});
  EXPECT_EQ(read("out.txt"), "Program file 'missing.kv' does not exist\n");
  if (geteuid() != 0) {  // root reads everything
    write("secret.kv", "outl(1)");
    fs::permissions(root / "secret.kv", fs::perms::none);
    EXPECT_EQ(kavor({"secret.kv"}).output, "File 'secret.kv' cannot be opened (Permission denied)\n");
  }
}

// A program may come from a pipe: /dev/stdin, or a file the shell makes for <(...).
TEST_F(ProgramFileTest, ProgramsFromPipes) {
  Outcome piped = launch({(root / "kavor").string(), "./kavor", {"-v", "/dev/stdin", "x"}, root.string(), {},
                          "outl(argv(0), argc())\nint n\nout(in(n))\n"});
  // The program text used up standard input, so the program's own input is at its end.
  EXPECT_EQ(piped.output, banner() + "Kavor program directory: /dev\n\n/dev/stdin2\nfalse");
  EXPECT_EQ(piped.status, 0);
  Outcome substituted = launch({"/bin/bash", "bash", {"-c", "./kavor <(printf 'outl(6 * 7)')"}, root.string(), {}});
  EXPECT_EQ(substituted.output, "42\n");
  Outcome input = launch({"/bin/bash", "bash", {"-c", "./kavor -i <(printf '3 4') <(printf 'int a, b\nin(a, b)\nout(a * b)')"},
                          root.string(), {}});
  EXPECT_EQ(input.output, "12");
}

TEST_F(ProgramFileTest, EmptyProgramsEndQuietly) {
  for (std::string text : {"", "\n\n", "# nothing here\n", "#( a\ncomment )#\r\n  \t\n"}) {
    write("p.kv", text);
    Outcome run = kavor({"p.kv", "arg"});
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.status, 0);
  }
}

TEST_F(ProgramFileTest, BuildErrorsNameTheFileAsGivenAndFollowTheOutput) {
  write("lib/bad.kv", "a = (1\n");
  const std::string title = "Syntax error in file 'bad.kv', line '1':\n  ";
  Outcome run = kavor({"-n", "lib", "bad.kv"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output.substr(0, title.size()), title);
  EXPECT_EQ(kavor({"-n", "lib", "-o", "out.txt", "bad.kv"}).output, "");
  EXPECT_EQ(read("out.txt").substr(0, title.size()), title);
}

}  // namespace
}  // namespace kavor_test
