// The editor files under editors/ must know every word the interpreter knows. The words are
// taken from the interpreter's own tables, so a new built-in, type or reserved word fails
// here, naming the word and the file that lacks it, until the editor files learn it.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/type_table.h"
#include "exec/builtins.h"
#include "frontend/keywords.h"

namespace kavor {
namespace {

const std::string kVimSyntax = KAVOR_EDITOR_DIR "/vim/syntax/kavor.vim";
const std::string kGrammar = KAVOR_EDITOR_DIR "/kavor.tmLanguage.json";

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every word with a meaning of its own, with what it is (for the failure message).
std::map<std::string, std::string> knownWords() {
  std::map<std::string, std::string> words;
  for (std::string_view word : reservedWords()) words[std::string(word)] = "reserved word";
  for (int code = 0; code < 256; ++code)
    if (const char* name = typeOps(static_cast<TypeCode>(code)).name) words[name] = "type name";
  for (const std::string& name : builtinNames()) words.try_emplace(name, "built-in statement or function");
  return words;
}

// A JSON value, as much of one as a grammar needs: strings, and the objects and arrays
// that hold them (numbers, booleans and null are accepted and kept as their text).
struct Json {
  std::string text;
  std::vector<Json> items;                            // array elements
  std::vector<std::pair<std::string, Json>> members;  // object members, in order
  bool isObject = false;

  const Json* member(const std::string& name) const {
    for (const auto& [key, value] : members)
      if (key == name) return &value;
    return nullptr;
  }
};

class JsonReader {
 public:
  explicit JsonReader(std::string text) : text_(std::move(text)) {}

  Json document() {
    Json value = read();
    skipBlanks();
    if (at_ != text_.size()) fail("text after the end of the document");
    return value;
  }

 private:
  [[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error(what + " at offset " + std::to_string(at_));
  }
  void skipBlanks() {
    while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
  }
  void expect(char c) {
    skipBlanks();
    if (at_ >= text_.size() || text_[at_] != c) fail(std::string("expected '") + c + "'");
    ++at_;
  }
  bool take(char c) {
    skipBlanks();
    if (at_ < text_.size() && text_[at_] == c) return ++at_, true;
    return false;
  }
  std::string string() {
    expect('"');
    std::string out;
    while (at_ < text_.size() && text_[at_] != '"') {
      char c = text_[at_++];
      if (static_cast<unsigned char>(c) < 0x20) fail("control character in a string");
      if (c != '\\') {
        out += c;
        continue;
      }
      if (at_ >= text_.size()) break;
      char escaped = text_[at_++];
      static const std::string kEscapes = "\"\\/bfnrt", kMeanings = "\"\\/\b\f\n\r\t";
      if (size_t which = kEscapes.find(escaped); which != std::string::npos) out += kMeanings[which];
      else if (escaped == 'u' && at_ + 4 <= text_.size()) out += "?", at_ += 4;  // no grammar needs them
      else fail("bad escape");
    }
    expect('"');
    return out;
  }
  Json read() {
    skipBlanks();
    Json value;
    if (at_ >= text_.size()) fail("unexpected end");
    if (text_[at_] == '"') {
      value.text = string();
    } else if (take('{')) {
      value.isObject = true;
      if (!take('}')) {
        do {
          skipBlanks();
          std::string key = string();
          expect(':');
          value.members.emplace_back(key, read());
        } while (take(','));
        expect('}');
      }
    } else if (take('[')) {
      if (!take(']')) {
        do value.items.push_back(read());
        while (take(','));
        expect(']');
      }
    } else {
      static const std::regex kLiteral(R"(^(true|false|null|-?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][-+]?[0-9]+)?))");
      std::smatch found;
      std::string rest = text_.substr(at_, 40);
      if (!std::regex_search(rest, found, kLiteral)) fail("unexpected character");
      value.text = found[0];
      at_ += value.text.size();
    }
    return value;
  }

  std::string text_;
  size_t at_ = 0;
};

// The grammar's regular expressions are Oniguruma's; the one construct it uses that
// ECMAScript lacks, \A (start of the document), becomes ^ for compiling them here.
std::regex compileGrammarRegex(std::string pattern) {
  for (size_t at; (at = pattern.find("\\A")) != std::string::npos;) pattern.replace(at, 2, "^");
  return std::regex(pattern);
}

// Every rule object of the grammar (an object with a pattern or an include), depth first.
void collectRules(const Json& value, std::vector<const Json*>& rules) {
  if (value.isObject && (value.member("match") || value.member("begin") || value.member("include")))
    rules.push_back(&value);
  for (const Json& item : value.items) collectRules(item, rules);
  for (const auto& [key, member] : value.members) collectRules(member, rules);
}

TEST(EditorSupport, TextMateGrammarIsWellFormedAndKnowsEveryWord) {
  Json grammar;
  ASSERT_NO_THROW(grammar = JsonReader(readFile(kGrammar)).document()) << kGrammar;
  ASSERT_TRUE(grammar.member("scopeName") && grammar.member("repository") && grammar.member("fileTypes"));
  EXPECT_EQ(grammar.member("scopeName")->text, "source.kavor");
  EXPECT_EQ(grammar.member("fileTypes")->items.at(0).text, "kv");

  std::vector<const Json*> rules;
  collectRules(grammar, rules);
  // Scopes that color a word as a word of the language (not as an operator or a name).
  const std::regex wordScope(R"(^(keyword\.(control|other)|storage\.type|support\.function|constant\.language|variable\.language)\b.*)");
  std::vector<std::regex> wordPatterns;
  for (const Json* rule : rules) {
    if (const Json* include = rule->member("include")) {
      const std::string& target = include->text;
      EXPECT_TRUE(target == "$self" || (target[0] == '#' && grammar.member("repository")->member(target.substr(1))))
          << "include of an unknown rule " << target;
    }
    for (const char* key : {"match", "begin", "end"}) {
      const Json* pattern = rule->member(key);
      if (!pattern) continue;
      try {
        std::regex compiled = compileGrammarRegex(pattern->text);
        const Json* scope = rule->member("name");
        if (std::string(key) == "match" && scope && std::regex_match(scope->text, wordScope))
          wordPatterns.push_back(compiled);
      } catch (const std::regex_error& error) {
        ADD_FAILURE() << "pattern does not compile: " << pattern->text << " (" << error.what() << ")";
      }
    }
  }
  for (const auto& [word, kind] : knownWords()) {
    bool matched = false;
    for (const std::regex& pattern : wordPatterns) matched = matched || std::regex_match(word, pattern);
    EXPECT_TRUE(matched) << "the " << kind << " '" << word << "' is not highlighted by " << kGrammar;
  }
}

TEST(EditorSupport, VimSyntaxLinksEveryGroupAndKnowsEveryWord) {
  std::istringstream lines(readFile(kVimSyntax));
  std::set<std::string> keywords, groups, linked;
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::string command, kind, group;
    words >> command >> kind >> group;
    if (command == "hi" && kind == "def" && group == "link") {  // hi def link <group> <target>
      std::string source;
      words >> source;
      linked.insert(source);
    }
    if (command != "syn" && command != "syntax") continue;
    if (kind == "keyword" || kind == "match" || kind == "region") groups.insert(group);
    if (kind != "keyword") continue;
    for (std::string word; words >> word;)
      if (word.find('=') == std::string::npos && word != "contained" && word != "transparent") keywords.insert(word);
  }
  ASSERT_FALSE(groups.empty()) << kVimSyntax;
  for (const std::string& group : groups) EXPECT_TRUE(linked.count(group)) << group << " has no highlight link";
  for (const auto& [word, kind] : knownWords())
    EXPECT_TRUE(keywords.count(word)) << "the " << kind << " '" << word << "' is missing from " << kVimSyntax;

  // Vim itself reads the file without an error, where it is installed.
  if (std::system("vim --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "vim is not installed";
  std::string command = "vim -Nu NONE -i NONE -es -c 'syntax on' -c 'source " + kVimSyntax + "' -c 'qa!' </dev/null";
  EXPECT_EQ(std::system(command.c_str()), 0) << kVimSyntax << " has errors: " << command;
}

}  // namespace
}  // namespace kavor
