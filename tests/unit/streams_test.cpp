// The stream family: line reading, aligned writes, file modes, str reading and the screen.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "core/failure.h"

#include "streams/file_data.h"
#include "streams/str_data.h"
#include "streams/terminal_data.h"

namespace kavor {
namespace {

// The text a refusal of a stream reads as: its message from the catalogue, "" for none.
std::string textOf(const Refusal& refusal) { return Failure(refusal).text(); }

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

class StreamFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kavor_streams_XXXXXX";
    dir = mkdtemp(pattern);
  }
  void TearDown() override { fs::remove_all(dir); }

  std::string path(const std::string& name) { return (dir / name).string(); }
  void put(const std::string& name, const std::string& bytes) { std::ofstream(dir / name, std::ios::binary) << bytes; }
  std::string get(const std::string& name) {
    std::ifstream in(dir / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  Lines lines(const std::string& bytes, const char* mode) {
    put("lines", bytes);
    FILE_DATA file(path("lines"));
    EXPECT_EQ(textOf(file.open(mode)), "");
    return readAllLines(file);
  }

  fs::path dir;
};

TEST_F(StreamFiles, LinesEndAtEveryKindOfTerminator) {
  EXPECT_EQ(lines("a\r\nb\nc\rd", "i"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(lines("a\r\nb\nc\rd", "ib"), (Lines{"a\r", "b", "c\rd"}));
  EXPECT_EQ(lines("", "i"), Lines{});
  EXPECT_EQ(lines("\n", "i"), Lines{""});
  EXPECT_EQ(lines("\r\r\n\nx\n", "i"), (Lines{"", "", "", "x"}));
  EXPECT_EQ(lines(std::string("n\0l\r", 4), "i"), Lines{std::string("n\0l", 3)});
  STR_DATA text("one\rtwo\n\nthree");
  EXPECT_EQ(readAllLines(text), (Lines{"one", "two", "", "three"}));
}

TEST_F(StreamFiles, OpenFailures) {
  EXPECT_EQ(textOf(FILE_DATA().open("zz")), "File must be initialised");
  EXPECT_EQ(textOf(FILE_DATA().write("x", false)), "File must be initialised");
  FILE_DATA file(path("f"));
  EXPECT_EQ(textOf(file.open("r")), "Infeasible mode 'r'");
  EXPECT_EQ(textOf(file.open("i")), "File '" + path("f") + "' cannot be opened");
  FILE_DATA directory(dir.string());
  EXPECT_EQ(textOf(directory.open("i")), "File '" + dir.string() + "' cannot be opened");
  EXPECT_FALSE(directory.exists());
}

TEST_F(StreamFiles, ModesAndDirections) {
  put("f", "old");
  FILE_DATA file(path("f"));
  // Writing a file never opened truncates it; the stored NUL becomes a real 0.
  EXPECT_EQ(textOf(file.write("a\xFF" "b", false)), "");
  EXPECT_EQ(get("f"), std::string("a\0b", 3));
  // Reading closes the writer and starts at the beginning; preparing again keeps the place.
  char c;
  ASSERT_EQ(textOf(file.prepareInput()), "");
  ASSERT_FALSE(file.readChar(c) || file.prepareInput() || file.readChar(c));
  EXPECT_EQ(c, '\0');
  file.restartReading();
  ASSERT_FALSE(file.readChar(c));
  EXPECT_EQ(c, 'a');
  EXPECT_EQ(textOf(file.open("O")), "");
  EXPECT_EQ(textOf(file.write("c", false)), "");
  EXPECT_EQ(textOf(file.open("Ob")), "");
  EXPECT_EQ(textOf(file.write("d", false)), "");
  EXPECT_EQ(get("f"), std::string("a\0bcd", 5));
  EXPECT_EQ(textOf(file.open("ob")), "");
  file.close();
  EXPECT_EQ(get("f"), "");
  FILE_DATA fresh(path("new"));
  EXPECT_FALSE(fresh.exists());
  EXPECT_EQ(textOf(fresh.open("o")), "");
  EXPECT_TRUE(fresh.exists());
}

TEST(AlignedWrites, WidthsFillAndWrapping) {
  StreamSettings layout;
  STR_DATA text;
  text.settings = &layout;
  layout.setFieldWidths({5, -5});
  for (int i = 0; i < 3; ++i) EXPECT_EQ(textOf(text.write("ab", true)), "");
  EXPECT_EQ(text.text, "   abab      ab");
  // Too long for the field, width 0 and unaligned writes pad nothing; only aligned ones advance.
  layout.setFieldWidths({2, 0, -3});
  layout.fill = '*';
  text.text.clear();
  for (auto [piece, aligned] : {std::pair{"abc", true}, {"x", true}, {"y", false}, {"z", true}, {"w", true}}) {
    EXPECT_EQ(textOf(text.write(piece, aligned)), "");
  }
  EXPECT_EQ(text.text, "abcxyz***w");
  layout.setFieldWidths({});
  EXPECT_EQ(layout.fill, ' ');
  EXPECT_EQ(textOf(layout.setInputSeparators({",", "::"})), "");
  EXPECT_EQ(layout.longestSeparator, 2u);
  EXPECT_EQ(textOf(layout.setInputSeparators({",", ""})), "Empty string infeasible as separator");
  EXPECT_TRUE(layout.inputSeparators.empty());
}

TEST(StrData, EveryWriteRestartsReading) {
  STR_DATA text;
  EXPECT_EQ(textOf(text.write("12", false)), "");
  char c;
  ASSERT_FALSE(text.prepareInput() || text.readChar(c));
  EXPECT_EQ(c, '1');
  EXPECT_EQ(textOf(text.write("3", false)), "");
  std::string read;
  while (!text.readChar(c)) read += c;
  EXPECT_EQ(read, "123");
  EXPECT_TRUE(text.readChar(c));
  text.text = "9";  // shortened behind the reader's back
  EXPECT_TRUE(text.readChar(c));
}

TEST_F(StreamFiles, StandardStream) {
  EXPECT_EQ(consoleBytes("\xE4\xFC\x80\xA7\xFF" "a\x81", true), std::string("\x84\x81" "EUR\x15\0a\x81", 9));
  EXPECT_EQ(consoleBytes("\xE4\xFF", false), std::string("\xE4\0", 2));
  StreamSettings layout;
  TERMINAL_DATA terminal(&layout);
  put("in", "a\r\nb");
  put("out", "keep ");
  ASSERT_EQ(textOf(terminal.redirect(path("in"), false, path("out"), false, true)), "");
  EXPECT_FALSE(terminal.isInteractive());
  EXPECT_EQ(readAllLines(terminal), (Lines{"a", "b"}));
  EXPECT_EQ(textOf(terminal.write("x\xFF", false)), "");
  EXPECT_EQ(get("out"), std::string("keep x\0", 7));
  ASSERT_EQ(textOf(terminal.redirect(path("in"), true, path("out"), true, false)), "");
  EXPECT_EQ(readAllLines(terminal), (Lines{"a\r", "b"}));
  EXPECT_EQ(textOf(terminal.write("y", false)), "");
  EXPECT_EQ(get("out"), "y");
}

}  // namespace
}  // namespace kavor
