// Whole trees on the real file system: what a copy or a removal does with symbolic links,
// with rights, and with a copy that cannot be completed.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "core/failure.h"
#include "streams/file_system.h"

namespace kavor {
namespace {

namespace fs = std::filesystem;

class FileTrees : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kavor_trees_XXXXXX";
    root = mkdtemp(pattern);
  }
  void TearDown() override { fs::remove_all(root); }

  std::string at(const std::string& name) const { return root + "/" + name; }
  void write(const std::string& name, const std::string& bytes) const {
    std::ofstream(at(name), std::ios::binary) << bytes;
  }
  std::string read(const std::string& name) const {
    std::ifstream in(at(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::vector<std::string> names() const {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(root)) found.push_back(entry.path().filename());
    std::sort(found.begin(), found.end());
    return found;
  }

  std::string root;  // a fresh directory, removed after each test
};

// Removing a tree must never reach through a link into what lies outside it.
TEST_F(FileTrees, RemovalTakesLinksNotWhatTheyPointAt) {
  fs::create_directories(at("keep"));
  write("keep/precious", "data");
  fs::create_directories(at("tree/sub"));
  fs::create_directory_symlink(at("keep"), at("tree/link"));
  fs::create_symlink(at("keep/precious"), at("tree/sub/file-link"));
  EXPECT_FALSE(removeTree(at("tree")));
  EXPECT_FALSE(fs::exists(at("tree")));
  EXPECT_EQ(read("keep/precious"), "data");
}

TEST_F(FileTrees, CopyKeepsBytesRightsAndLinks) {
  const std::string bytes("a\0b\xFF\r\n", 6);
  fs::create_directories(at("tree/sub"));
  write("tree/sub/bin", bytes);
  ::chmod(at("tree/sub/bin").c_str(), 0751);
  ::chmod(at("tree/sub").c_str(), 0705);
  fs::create_symlink("sub/bin", at("tree/link"));
  ASSERT_FALSE(copyTree(at("tree"), at("copy")));
  EXPECT_EQ(read("copy/sub/bin"), bytes);
  EXPECT_EQ(fs::status(at("copy/sub/bin")).permissions(), fs::perms(0751));
  EXPECT_EQ(fs::status(at("copy/sub")).permissions(), fs::perms(0705));
  EXPECT_TRUE(fs::is_symlink(at("copy/link")));
  EXPECT_EQ(fs::read_symlink(at("copy/link")), "sub/bin");
  // Nothing but the finished copy is left beside it.
  EXPECT_EQ(names(), (std::vector<std::string>{"copy", "tree"}));
}

TEST_F(FileTrees, FailedCopiesLeaveNothingBehind) {
  fs::create_directories(at("tree/sub"));
  write("tree/a", "x");
  ASSERT_EQ(::mkfifo(at("tree/sub/pipe").c_str(), 0600), 0);
  EXPECT_EQ(Failure(copyTree(at("tree"), at("copy"))).text(), "File '" + at("tree/sub/pipe") + "' cannot be copied");
  EXPECT_EQ(Failure(copyFile(at("tree/sub/pipe"), at("pipe-copy"))).text(),
            "File '" + at("tree/sub/pipe") + "' does not exist");
  EXPECT_EQ(Failure(copyTree(at("tree"), at("tree/sub/inside"))).text(),
            "Directory '" + at("tree") + "' cannot be copied");
  EXPECT_EQ(names(), (std::vector<std::string>{"tree"}));
  EXPECT_EQ(fs::exists(at("tree/sub/inside")), false);
}

TEST_F(FileTrees, ListingsAreSortedAndDepthFirst) {
  fs::create_directories(at("b/inner"));
  write("a.txt", "");
  write("b/inner/c.txt", "");
  write("b/z.dat", "");
  Outcome<std::vector<DirectoryEntry>> all = listDirectory(root, "*", true);
  ASSERT_FALSE(all.failure);
  std::vector<std::string> listed;
  for (const DirectoryEntry& entry : all.value) listed.push_back(entry.name + (entry.isDirectory ? "/" : ""));
  EXPECT_EQ(listed, (std::vector<std::string>{"a.txt", "b/", "b/inner/", "b/inner/c.txt", "b/z.dat"}));
  Outcome<std::vector<DirectoryEntry>> texts = listDirectory(root, "*.txt", true);
  ASSERT_EQ(texts.value.size(), 2u);
  EXPECT_EQ(texts.value[1].name, "b/inner/c.txt");
}

}  // namespace
}  // namespace kavor
