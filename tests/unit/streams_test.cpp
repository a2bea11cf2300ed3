// The stream family: line reading, aligned writes, file modes, str reading and the screen.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "streams/file_data.h"
#include "streams/str_data.h"
#include "streams/terminal_data.h"

namespace kavor {
namespace {

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
    EXPECT_EQ(file.open(mode).text(), "");
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
  EXPECT_EQ(FILE_DATA().open("zz").text(), "File must be initialised");
  EXPECT_EQ(FILE_DATA().write("x", false).text(), "File must be initialised");
  FILE_DATA file(path("f"));
  EXPECT_EQ(file.open("r").text(), "Infeasible mode 'r'");
  EXPECT_EQ(file.open("i").text(), "File '" + path("f") + "' cannot be opened");
  FILE_DATA directory(dir.string());
  EXPECT_EQ(directory.open("i").text(), "File '" + dir.string() + "' cannot be opened");
  EXPECT_FALSE(directory.exists());
}

TEST_F(StreamFiles, ModesAndDirections) {
  put("f", "old");
  FILE_DATA file(path("f"));
  // Writing a file never opened truncates it; the stored NUL becomes a real 0.
  EXPECT_EQ(file.write("a\xFF" "b", false).text(), "");
  EXPECT_EQ(get("f"), std::string("a\0b", 3));
  // Reading closes the writer and starts at the beginning; preparing again keeps the place.
  char c;
  ASSERT_EQ(file.prepareInput().text(), "");
  ASSERT_FALSE(file.readChar(c) || file.prepareInput() || file.readChar(c));
  EXPECT_EQ(c, '\0');
  file.restartReading();
  ASSERT_FALSE(file.readChar(c));
  EXPECT_EQ(c, 'a');
  EXPECT_EQ(file.open("O").text(), "");
  EXPECT_EQ(file.write("c", false).text(), "");
  EXPECT_EQ(file.open("Ob").text(), "");
  EXPECT_EQ(file.write("d", false).text(), "");
  EXPECT_EQ(get("f"), std::string("a\0bcd", 5));
  EXPECT_EQ(file.open("ob").text(), "");
  file.close();
  EXPECT_EQ(get("f"), "");
  FILE_DATA fresh(path("new"));
  EXPECT_FALSE(fresh.exists());
  EXPECT_EQ(fresh.open("o").text(), "");
  EXPECT_TRUE(fresh.exists());
}

TEST(AlignedWrites, WidthsFillAndWrapping) {
  StreamSettings layout;
  STR_DATA text;
  text.settings = &layout;
  layout.setFieldWidths({5, -5});
  for (int i = 0; i < 3; ++i) EXPECT_EQ(text.write("ab", true).text(), "");
  EXPECT_EQ(text.text, "   abab      ab");
  // Too long for the field, width 0 and unaligned writes pad nothing; only aligned ones advance.
  layout.setFieldWidths({2, 0, -3});
  layout.fill = '*';
  text.text.clear();
  for (auto [piece, aligned] : {std::pair{"abc", true}, {"x", true}, {"y", false}, {"z", true}, {"w", true}}) {
    EXPECT_EQ(text.write(piece, aligned).text(), "");
  }
  EXPECT_EQ(text.text, "abcxyz***w");
  layout.setFieldWidths({});
  EXPECT_EQ(layout.fill, ' ');
  EXPECT_EQ(layout.setInputSeparators({",", "::"}).text(), "");
  EXPECT_EQ(layout.longestSeparator, 2u);
  EXPECT_EQ(layout.setInputSeparators({",", ""}).text(), "Empty string infeasible as separator");
  EXPECT_TRUE(layout.inputSeparators.empty());
}

TEST(StrData, EveryWriteRestartsReading) {
  STR_DATA text;
  EXPECT_EQ(text.write("12", false).text(), "");
  char c;
  ASSERT_FALSE(text.prepareInput() || text.readChar(c));
  EXPECT_EQ(c, '1');
  EXPECT_EQ(text.write("3", false).text(), "");
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
  ASSERT_EQ(terminal.redirect(path("in"), false, path("out"), false, true).text(), "");
  EXPECT_FALSE(terminal.isInteractive());
  EXPECT_EQ(readAllLines(terminal), (Lines{"a", "b"}));
  EXPECT_EQ(terminal.write("x\xFF", false).text(), "");
  EXPECT_EQ(get("out"), std::string("keep x\0", 7));
  ASSERT_EQ(terminal.redirect(path("in"), true, path("out"), true, false).text(), "");
  EXPECT_EQ(readAllLines(terminal), (Lines{"a\r", "b"}));
  EXPECT_EQ(terminal.write("y", false).text(), "");
  EXPECT_EQ(get("out"), "y");
}

}  // namespace
}  // namespace kavor
