// The settings of kavor.sys that inclusion reads: the application (a) and the include
// directories (n), which the interpreter's own directory completes.
#include "kavor_process.h"

namespace kavor_test {
namespace {

class InclusionSettingsTest : public KavorTest {
 protected:
  void SetUp() override {
    KavorTest::SetUp();
    write("main.kv", "need demo:\"demo.kv\", other:\"missing.kv\"\nneed \"util.kv\"\noutl(mode, \" \", origin)\n");
    write("demo.kv", "str mode = \"demo\"\n");
    write("lib/util.kv", "str origin = \"lib\"\n");
  }
};

TEST_F(InclusionSettingsTest, ApplicationAndIncludeDirectoriesFromKavorSys) {
  write("kavor.sys", "a demo\nn lib\n");
  Outcome run = kavor({"main.kv"});
  EXPECT_EQ(run.output, "demo lib\n");
  EXPECT_EQ(run.status, 0);
  // The command line overrides the application: the other item is taken, and its file is
  // looked for.
  run = kavor({"-a", "other", "main.kv"});
  EXPECT_EQ(run.output, "Analysis error in file 'main.kv', line '1':\n  File 'missing.kv' to be included does "
                        "not exist\n");
  EXPECT_EQ(run.status, 1);
}

TEST_F(InclusionSettingsTest, TheInterpreterDirectoryAndIncludeDirectoriesBelowIt) {
  // kavor lies in root; the program runs in root/work. The include directory "lib" is
  // tried as given (below work) and below the interpreter's directory, where it is.
  write("work/main.kv", "need \"util.kv\", \"beside_kavor.kv\"\noutl(origin, \" \", near)\n");
  write("beside_kavor.kv", "str near = \"near\"\n");
  Outcome run = launch({(root / "kavor").string(), (root / "kavor").string(), {"-n", "lib", "main.kv"},
                        (root / "work").string(), {}});
  EXPECT_EQ(run.output, "lib near\n");
  EXPECT_EQ(run.status, 0);
}

}  // namespace
}  // namespace kavor_test
