// kavor.sys beside the binary: the defaults it sets and every way it can be faulty.
#include "kavor_process.h"

namespace kavor_test {
namespace {

const std::string kOptions =
    "\nFeasible options:\nv (output of program version)\nn <include directory>\ni <input file>\n"
    "ib <binary input file>\no <output file>\nob <binary output file>\nO <output file (with append)>\n"
    "Ob <binary output file (with append)>\na <application>\n";

class KavorSysTest : public KavorTest {
 protected:
  Outcome withConfig(const std::string& config) {
    write("kavor.sys", config);
    return kavor({"p.kv"});
  }
};

TEST_F(KavorSysTest, FaultyLinesAreNamedCountingEmptyLines) {
  EXPECT_EQ(withConfig("v").output, versioned());
  EXPECT_EQ(withConfig("v \t \r\n").output, versioned());
  Outcome run = withConfig("\n\nv\tx");
  EXPECT_EQ(run.output, banner() + "File 'kavor.sys', line '3': Expect no value for program option 'v'\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(withConfig("n lib\n\nbogus value\n").output,
            banner() + "File 'kavor.sys', line '3': Unknown program option 'bogus'\n" + kOptions);
  EXPECT_EQ(withConfig(" v").output, banner() + "File 'kavor.sys', line '1': Unknown program option ''\n" + kOptions);
  EXPECT_EQ(withConfig("\r\n-v").output,
            banner() + "File 'kavor.sys', line '2': Unknown program option '-v'\n" + kOptions);
  EXPECT_EQ(withConfig(std::string("v\0x", 3)).output,
            banner() + "File 'kavor.sys', line '1': Unknown program option 'v" + '\0' + "x'\n" + kOptions);
  EXPECT_EQ(withConfig("a  9lives  ").output,
            banner() + "File 'kavor.sys', line '1': '9lives' is no feasible name for application\n");
  EXPECT_EQ(withConfig("a").output, banner() + "File 'kavor.sys', line '1': '' is no feasible name for application\n");
  EXPECT_EQ(withConfig("a _x9").status, 0);
}

TEST_F(KavorSysTest, SettingsAreDefaultsThatTheCommandLineOverrides) {
  write("kavor.sys", "o  sys.txt\t\nv");
  EXPECT_EQ(kavor({"p.kv"}).output, "");
  EXPECT_EQ(read("sys.txt"), versioned());
  kavor({"-o", "cli.txt", "p.kv"});
  EXPECT_EQ(read("cli.txt"), versioned());
  EXPECT_EQ(withConfig("n lib\ri missing").output, "Input file 'missing' does not exist\n");
}

TEST_F(KavorSysTest, UnusableConfigurationFiles) {
  fs::create_directory(root / "kavor.sys");  // not a regular file: ignored
  EXPECT_EQ(kavor({"p.kv"}).status, 0);
  fs::remove(root / "kavor.sys");
  if (geteuid() != 0) {  // root reads everything
    write("kavor.sys", "v");
    fs::permissions(root / "kavor.sys", fs::perms::none);
    Outcome run = kavor({"p.kv"});
    EXPECT_EQ(run.output, banner() + "File './kavor.sys' cannot be opened\n");
    EXPECT_EQ(run.status, 1);
  }
}

TEST_F(KavorSysTest, InterpreterDirectoryFromArgumentZero) {
  write("tools/kavor.sys", "v");
  fs::copy_file(root / "kavor", root / "tools/kavor");
  write("work/p.kv", "");
  const std::string tools = (root / "tools").string(), work = (root / "work").string();
  auto run = [&](const std::string& argument0, const std::string& directory, const std::string& path) {
    return launch({tools + "/kavor", argument0, {"p.kv"}, directory, {{"path", path}}}).output;
  };
  // Found through the lower-case "path" variable, whose entries are separated by ";".
  EXPECT_EQ(run("kavor", work, "/nowhere;" + tools), versioned(tools));
  // Not found, or directly below the root: no directory, kavor.sys from the working directory.
  write("work/kavor.sys", "v");
  EXPECT_EQ(run("kavor", work, "/nowhere"), versioned(""));
  EXPECT_EQ(run("/kavor", work, tools), versioned(""));
  // A name that exists in the working directory wins over "path".
  write("kavor.sys", "v");
  EXPECT_EQ(run("kavor", root.string(), tools), versioned(""));
}

}  // namespace
}  // namespace kavor_test
