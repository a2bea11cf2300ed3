// Start-up from the command line: usage, options and their failures, redirection.
#include "kavor_process.h"

namespace kavor_test {
namespace {

const std::string kOptions =
    "-v (output of program version)\n-n <include directory>\n-i <input file>\n-ib <binary input file>\n"
    "-o <output file>\n-ob <binary output file>\n-O <output file (with append)>\n"
    "-Ob <binary output file (with append)>\n-a <application>\n";

using CommandLineTest = KavorTest;

TEST_F(CommandLineTest, UsageWithoutProgramFileEvenWhenOutputIsRedirected) {
  for (const auto& arguments : {std::vector<std::string>{}, {"-v"}, {"-o", "out.txt"}}) {
    Outcome run = kavor(arguments);
    EXPECT_EQ(run.output, banner() + "Program file for Kavor not defined\n\nUsage: kavor [<Opt. 1>..<Opt. m>] "
                                     "<program file> [<Arg. 1>..<Arg. n>]\nOptions:\n" + kOptions);
    EXPECT_EQ(run.status, 1);
  }
}

// Output that cannot be written is never lost silently: the run ends with status 1 and says
// so on standard error, also when the program went on after a failed write or chose its own
// status.
TEST_F(CommandLineTest, OutputThatCannotBeWrittenFailsTheRun) {
  write("p.kv", "outl(1)\nerror e\nouts(2)\ncatch(e, {outs(3)})\n");
  Outcome run = kavor({"-o", "/dev/full", "p.kv"});
  EXPECT_EQ(run.output, "File '/dev/full' cannot be written\n");
  EXPECT_EQ(run.status, 1);
  write("q.kv", "outl(1)\nexit(4)\n");
  run = kavor({"-o", "/dev/full", "q.kv"});
  EXPECT_EQ(run.output, "File '/dev/full' cannot be written\n");
  EXPECT_EQ(run.status, 4);
}

TEST_F(CommandLineTest, UnknownOptionsBeforeTheProgramOnly) {
  for (std::string option : {"-x", "-", "--v", "-I"}) {
    Outcome run = kavor({option, "p.kv"});
    EXPECT_EQ(run.output, banner() + "Unknown program option '" + option + "'\n\nFeasible options:\n" + kOptions);
    EXPECT_EQ(run.status, 1);
  }
  Outcome run = kavor({"p.kv", "-v", "-x", "-"});  // program arguments, whatever they look like
  EXPECT_EQ(run.output, "");
  EXPECT_EQ(run.status, 0);
}

TEST_F(CommandLineTest, OptionValues) {
  for (std::string letters : {"n", "i", "ib", "o", "ob", "O", "Ob", "a"}) {
    EXPECT_EQ(kavor({"-v", "-" + letters}).output, banner() + "Program option '-" + letters + "' is incomplete\n");
  }
  for (std::string name : {"1abc", "", "a-b", "\xE4x"}) {
    Outcome run = kavor({"-a", name, "p.kv"});
    EXPECT_EQ(run.output, banner() + "Program option '-a': '" + name + "' is no feasible name for application\n");
    EXPECT_EQ(run.status, 1);
  }
  EXPECT_EQ(kavor({"-a", "_a1", "p.kv"}).status, 0);
}

TEST_F(CommandLineTest, VersionFollowsTheOutput) {
  Outcome run = kavor({"-v", "p.kv"});
  EXPECT_EQ(run.output, versioned());
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(kavor({"-o", "out.txt", "-v", "p.kv"}).output, "");
  EXPECT_EQ(read("out.txt"), versioned());
}

TEST_F(CommandLineTest, LastOutputOptionSetsNameAndBothFlags) {
  write("b", "old\n");
  kavor({"-o", "a", "-O", "b", "-v", "p.kv"});
  EXPECT_EQ(read("b"), "old\n" + versioned());
  EXPECT_FALSE(fs::exists(root / "a"));
  kavor({"-O", "a", "-o", "b", "-v", "p.kv"});
  EXPECT_EQ(read("b"), versioned());
}

TEST_F(CommandLineTest, RedirectionFailuresHaveNoBanner) {
  fs::create_directory(root / "dir");
  EXPECT_EQ(kavor({"-i", "missing", "p.kv"}).output, "Input file 'missing' does not exist\n");
  EXPECT_EQ(kavor({"-ib", "dir", "p.kv"}).output, "Input file 'dir' does not exist\n");
  EXPECT_EQ(kavor({"-o", "dir", "p.kv"}).output, "Output file 'dir' cannot be opened\n");
  Outcome run = kavor({"-Ob", "no/such/file", "p.kv"});
  EXPECT_EQ(run.output, "Output file 'no/such/file' cannot be opened\n");
  EXPECT_EQ(run.status, 1);
  if (geteuid() != 0) {  // root reads everything
    write("secret", "x");
    fs::permissions(root / "secret", fs::perms::none);
    EXPECT_EQ(kavor({"-i", "secret", "p.kv"}).output, "Input file 'secret' cannot be opened\n");
  }
}

TEST_F(CommandLineTest, HugeArguments) {
  const std::string huge(100000, 'x');  // near the kernel's limit for one argument
  Outcome run = kavor({huge});
  EXPECT_TRUE(run.output == "Program file '" + huge + "' does not exist\n");
  EXPECT_EQ(kavor({"-a", huge + "-"}).status, 1);
  EXPECT_EQ(kavor({"-" + huge}).status, 1);
  EXPECT_EQ(kavor({"-o", huge, "p.kv"}).status, 1);
}

}  // namespace
}  // namespace kavor_test
