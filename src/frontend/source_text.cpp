#include "frontend/source_text.h"

#include "core/error.h"
#include "core/messages.h"
#include "frontend/literal.h"

namespace kavor {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

class SourcePreparer {
 public:
  SourcePreparer(const std::string& fileName, const std::vector<std::string>& lines, bool mainFile)
      : fileName_(fileName) {
    for (size_t i = 0; i < lines.size(); ++i) {
      std::string_view line = lines[i];
      // A file written with CRLF line ends must read like one with LF.
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      if (i == 0 && mainFile && line.substr(0, 2) == "#!") line = {};
      if (i > 0) append(raw_, rawLines_, '\n', static_cast<int>(i));
      for (char c : line) append(raw_, rawLines_, c, static_cast<int>(i + 1));
    }
  }

  SourceText run() {
    size_t i = 0;
    while (i < raw_.size()) i = commentDepth() > 0 ? inComment(i) : inProgram(i);
    if (commentDepth() > 0) fail("komohnabs", openComments_.back());
    return std::move(out_);
  }

 private:
  static void append(std::string& text, std::vector<int>& lines, char c, int line) {
    text += c;
    lines.push_back(line);
  }
  size_t commentDepth() const { return openComments_.size(); }
  char at(size_t i) const { return i < raw_.size() ? raw_[i] : '\n'; }
  void emit(size_t i) { append(out_.text, out_.lines, raw_[i], rawLines_[i]); }
  [[noreturn]] void fail(const std::string& text, int line) {
    throw ERROR(text, ErrorKind::Syntax, fileName_, line);
  }
  [[noreturn]] void fail(const char* key, int line) { fail(std::string(message(key)), line); }

  // A line end ends the line unless a continuation asked to join it with the next one;
  // line ends inside block comments stay, so that the line structure survives comments.
  size_t lineEnd(size_t i) {
    if (joinPending_) joinPending_ = false;
    else emit(i);
    return i + 1;
  }

  size_t inComment(size_t i) {
    char c = raw_[i];
    if (c == '\n') return lineEnd(i);
    if (c == '#' && at(i + 1) == '(') {
      openComments_.push_back(rawLines_[i]);
      return i + 2;
    }
    if (c == ')' && at(i + 1) == '#') {
      openComments_.pop_back();
      return i + 2;
    }
    return i + 1;
  }

  size_t inProgram(size_t i) {
    char c = raw_[i];
    if (c == '\n') return lineEnd(i);
    if (c == '"' || c == '\'') return literal(i);
    if (c == '#') return hash(i);
    if (c == ')' && at(i + 1) == '#') fail("uebkomend", rawLines_[i]);
    if (c == '\\') return backslash(i);
    emit(i);
    return i + 1;
  }

  size_t literal(size_t i) {
    size_t end = findLiteralEnd(raw_, i);
    if (end == std::string::npos) fail(raw_[i] == '"' ? "zeiketohnabs" : "zeikonohnabs", rawLines_[i]);
    for (size_t k = i; k <= end; ++k) emit(k);
    return end + 1;
  }

  size_t hash(size_t i) {
    char next = at(i + 1);
    if (next == '(') {
      openComments_.push_back(rawLines_[i]);
      return i + 2;
    }
    if (isBlank(next) || next == '#' || next == '\n') {
      while (i < raw_.size() && raw_[i] != '\n') ++i;
      return i;
    }
    emit(i);  // the operator "#"
    return i + 1;
  }

  // Trailing blanks after a continuation mark are invisible, so they do not break it.
  size_t backslash(size_t i) {
    size_t next = i + 1;
    while (next < raw_.size() && isBlank(raw_[next])) ++next;
    if (next >= raw_.size() || raw_[next] == '\n') return next + 1;
    if (raw_[next] == '#') {
      joinPending_ = true;
      return next;
    }
    fail(fill(message("unbzei"), {"\\"}) + fill(" (%s)", {message("zeinurzeienderl")}), rawLines_[i]);
  }

  const std::string& fileName_;
  std::string raw_;             // the lines joined with '\n'
  std::vector<int> rawLines_;   // physical line of every character of raw_
  SourceText out_;
  std::vector<int> openComments_;  // lines of the open block comments, innermost last
  bool joinPending_ = false;       // a "\" before a comment joins the next line end away
};

}  // namespace

SourceText prepareSource(const std::string& fileName, const std::vector<std::string>& lines,
                         bool mainFile) {
  return SourcePreparer(fileName, lines, mainFile).run();
}

}  // namespace kavor
