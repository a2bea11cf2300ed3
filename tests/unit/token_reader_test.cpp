// The token rule: the separator window, skipped leading separators, the end of input,
// backspace from a person at the keyboard, and whole lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exec/token_reader.h"
#include "streams/str_data.h"

namespace kavor {
namespace {

// Delivers a fixed text like a keyboard would: interactive, so backspace erases.
class Keyboard final : public STREAM_DATA {
 public:
  explicit Keyboard(std::string keys) : STREAM_DATA(&layout_), keys_(std::move(keys)) {}
  Refusal prepareInput() override { return Refusal::none(); }
  bool readChar(char& c) override {
    if (next_ >= keys_.size()) return true;
    c = keys_[next_++];
    return false;
  }
  bool isBinary() const override { return false; }
  bool isInteractive() const override { return true; }
  Refusal write(std::string_view, bool) override { return Refusal::none(); }

 private:
  StreamSettings layout_;
  std::string keys_;
  size_t next_ = 0;
};

std::vector<std::string> allTokens(STREAM_DATA& stream, const std::vector<std::string>& separators) {
  std::vector<std::string> tokens;
  std::string token;
  Outcome<bool, Failure> read;
  while ((read = readToken(stream, separators, token)).value) tokens.push_back(token);
  EXPECT_EQ(read.failure.text(), "");
  return tokens;
}

TEST(TokenReader, SeparatorsOfSeveralBytes) {
  STR_DATA text(std::string("::a:b::::c:d:") + '\0' + "e");
  using List = std::vector<std::string>;
  EXPECT_EQ(allTokens(text, {"::"}), (List{"a:b", "c:d:\xFF" "e"}));
  text.restartReading();
  // Tried in the order given: "::" is never seen whole once ":" has matched.
  EXPECT_EQ(allTokens(text, {":", "::"}), (List{"a", "b", "c", "d", "\xFF" "e"}));
  text.restartReading();
  EXPECT_EQ(allTokens(text, {}), (List{"::a:b::::c:d:\xFF" "e"}));
  STR_DATA blanks("   ");
  EXPECT_EQ(allTokens(blanks, {" "}), List{});
}

TEST(TokenReader, BackspaceErasesWhatWasTyped) {
  // "ab", backspace, "c", Enter: the window loses the b; then a backspace on an empty window
  // reaches back into the token.
  Keyboard keys("ab\bc\nxyz\b\b\bq\n");
  using List = std::vector<std::string>;
  EXPECT_EQ(allTokens(keys, {"\n", "::"}), (List{"ac", "q"}));
  STR_DATA plain("a\bc");
  EXPECT_EQ(allTokens(plain, {"\n"}), List{"a\bc"});
}

TEST(TokenReader, Lines) {
  STR_DATA text("one\n\nthree\r\nlast");
  std::string line;
  std::vector<std::string> lines;
  while (readLine(text, line).value) lines.push_back(line);
  EXPECT_EQ(lines, (std::vector<std::string>{"one", "", "three", "", "last"}));
}

}  // namespace
}  // namespace kavor
