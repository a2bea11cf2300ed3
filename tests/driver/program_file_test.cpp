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

TEST_F(ProgramFileTest, MissingOrNotAFile) {
  fs::create_directories(root / "lib/dir");
  for (std::string name : {"missing.kv", "lib", "dir", ""}) {
    Outcome run = kavor({"-n", "lib", name});
    EXPECT_EQ(run.output, "Program file '" + name + "' does not exist\n");
    EXPECT_EQ(run.status, 1);
  }
  kavor({"-o", "out.txt", "missing.kv"});
  EXPECT_EQ(read("out.txt"), "Program file 'missing.kv' does not exist\n");
  if (geteuid() != 0) {  // root reads everything
    write("secret.kv", "outl(1)");
    fs::permissions(root / "secret.kv", fs::perms::none);
    EXPECT_EQ(kavor({"secret.kv"}).output, "File 'secret.kv' cannot be opened\n");
  }
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
