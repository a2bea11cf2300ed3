#include "frontend/lexer.h"

#include "core/error.h"
#include "core/messages.h"
#include "frontend/literal.h"
#include "frontend/operators.h"
#include "frontend/token_rules.h"

namespace kavor {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool startsName(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool isQuote(char c) { return c == '"' || c == '\''; }
bool endsOperand(char kind) { return kind == 'n' || kind == 'z' || kind == 's' || kind == 'c' || kind == 'K'; }

bool isSemicolon(const Token& token) { return token.kind == 'o' && token.text == ";"; }

// The token kind a character begins, for the line-end rules; 0 when it begins no operand.
char operandKindAt(char c) {
  if (startsName(c)) return 'n';
  if (isDigit(c)) return 'z';
  if (c == '"') return 's';
  if (c == '\'') return 'c';
  if (c == '(' || c == '{' || c == '[') return 'k';
  return 0;
}

class Scanner {
 public:
  Scanner(const std::string& fileName, const SourceText& source)
      : fileName_(fileName), text_(source.text), lines_(source.lines) {}

  std::vector<Token> run() {
    while (pos_ < text_.size()) step();
    closeImplicitBlocks();
    if (!brackets_.empty()) {
      const OpenBracket& open = brackets_.back();
      fail(open.bracket == '(' ? "runklaohnabs" : open.bracket == '{' ? "gesklaohnabs" : "eckklaohnabs",
           open.line);
    }
    return std::move(tokens_);
  }

 private:
  struct OpenBracket {
    char bracket;   // '(', '{' or '['
    int line;       // where it was opened
    bool implicit;  // a block the lexer opened after ")"; closed by the lexer, never by "}"
  };

  char at(size_t i) const { return i < text_.size() ? text_[i] : 0; }
  int lineAfter(size_t end) const { return end < lines_.size() ? lines_[end] : lines_.back(); }
  [[noreturn]] void fail(const std::string& text, int line) const {
    throw ERROR(text, ErrorKind::Syntax, fileName_, line);
  }
  [[noreturn]] void fail(const char* key, int line) const { fail(std::string(message(key)), line); }

  void push(char kind, std::string text, int line, int endLine) {
    Token token;
    token.kind = kind;
    token.text = std::move(text);
    token.line = line;
    token.endLine = endLine;
    token.blankBefore = blank_;
    token.joinsLine = joinsLine_;
    blank_ = false;
    joinsLine_ = false;
    tokens_.push_back(std::move(token));
  }
  // A token made of the characters begin .. end-1 of the text.
  void pushSpan(char kind, size_t begin, size_t end) {
    push(kind, text_.substr(begin, end - begin), lines_[begin], lineAfter(end));
  }

  void step() {
    char c = text_[pos_];
    if (isBlank(c)) {
      blank_ = true;
      ++pos_;
    } else if (c == '\n') {
      lineEnd();
    } else if (startsName(c)) {
      name();
    } else if (isDigit(c)) {
      number();
    } else if (isQuote(c)) {
      literal();
    } else if (isOperatorChar(c)) {
      operatorRun();
    } else if (c == '(' || c == '{' || c == '[') {
      openBracket();
    } else if (c == ')' || c == '}' || c == ']') {
      closeBracket();
    } else if (c == '#') {
      pushSpan('#', pos_, pos_ + 1);
      ++pos_;
    } else {
      fail(fill(message("unbzei"), {std::string(1, c)}), lines_[pos_]);
    }
  }

  void name() {
    size_t end = pos_;
    while (startsName(at(end)) || isDigit(at(end))) ++end;
    pushSpan('n', pos_, end);
    pos_ = end;
  }

  bool exponentAt(size_t i) const {
    if (at(i) != 'e' && at(i) != 'E') return false;
    if (isDigit(at(i + 1))) return true;
    return (at(i + 1) == '+' || at(i + 1) == '-') && isDigit(at(i + 2));
  }

  // Digits, optionally "." and digits, optionally an exponent; a dot followed neither by
  // a digit nor by an exponent is an operator ("1..5", "5.size()").
  void number() {
    size_t end = pos_;
    while (isDigit(at(end))) ++end;
    if (at(end) == '.' && (isDigit(at(end + 1)) || exponentAt(end + 1))) {
      ++end;
      while (isDigit(at(end))) ++end;
    }
    if (exponentAt(end)) {
      end += isDigit(at(end + 1)) ? 1 : 2;
      while (isDigit(at(end))) ++end;
    }
    pushSpan('z', pos_, end);
    pos_ = end;
  }

  void literal() {
    const char quote = text_[pos_];
    const int line = lines_[pos_];
    size_t end = findLiteralEnd(text_, pos_);  // closed: checked when comments were removed
    if (end == std::string::npos) fail(quote == '"' ? "zeiketohnabs" : "zeikonohnabs", line);
    auto translated = unescapeLiteral(std::string_view(text_).substr(pos_ + 1, end - pos_ - 1));
    if (!translated) fail("unbescseq", line);
    if (quote == '\'' && translated->size() != 1) fail("unzzeikon", line);
    push(quote == '"' ? 's' : 'c', std::move(*translated), line, lineAfter(end + 1));
    pos_ = end + 1;
  }

  // Two operator characters form one operator when the table has the pair. Otherwise they
  // are two operators only where that can make sense: the second begins a prefix operator
  // ("x=-1", "f(a,-1)"), or the first stands alone before a separator ("f(+, -)").
  void operatorRun() {
    char first = text_[pos_], second = at(pos_ + 1);
    size_t length = 1;
    if (isOperatorChar(second)) {
      bool splits = second == '+' || second == '-' || second == '!' ||
                    ((second == ',' || second == ';') && isOperSetOperator(first, 0));
      if (operatorStrength(first, second) >= 0) length = 2;
      else if (!splits) fail(fill(message("unbope"), {std::string{first, second}}), lines_[pos_]);
    }
    pushSpan('o', pos_, pos_ + length);
    pos_ += length;
  }

  void openBracket() {
    char c = text_[pos_];
    if (c == '[' && at(pos_ + 1) == '[') fail(fill(message("unedopkla"), {"[["}), lines_[pos_]);
    brackets_.push_back({c, lines_[pos_], false});
    pushSpan('k', pos_, pos_ + 1);
    ++pos_;
  }

  void closeBracket() {
    char c = text_[pos_];
    int line = lines_[pos_];
    closeImplicitBlocks();
    char opening = c == ')' ? '(' : c == '}' ? '{' : '[';
    if (brackets_.empty()) fail(c == ')' ? "uebklarzu" : c == '}' ? "uebklagzu" : "uebklaezu", line);
    if (brackets_.back().bracket != opening) {
      const char* key = c == ')' ? "rzuvorklaistans" : c == '}' ? "gzuvorklaistans" : "ezuvorklaistans";
      fail(fill(message(key), {std::string(1, brackets_.back().bracket)}), line);
    }
    brackets_.pop_back();
    pushSpan('K', pos_, pos_ + 1);
    ++pos_;
    // `if(a)outl(1)` reads as `if(a){outl(1)}`: the block runs to the end of the line or
    // of the enclosing bracket.
    if (c == ')' && (startsName(at(pos_)) || isDigit(at(pos_)) || isQuote(at(pos_)))) {
      brackets_.push_back({'{', line, true});
      push('k', "{", line, line);
    }
  }

  void closeImplicitBlocks() {
    bool blank = blank_;
    while (!brackets_.empty() && brackets_.back().implicit) {
      brackets_.pop_back();
      int line = tokens_.back().endLine;
      blank_ = false;
      push('K', "}", line, line);
    }
    blank_ = blank;
  }

  // A line end between two operands ends a statement. Lines holding nothing (empty, blank,
  // or comments only) do not count: the rule looks past them.
  void lineEnd() {
    // An implicit block ends with its line, unless the line ends inside an expression
    // (with an operator such as "+" or ",") and so continues on the next one.
    if (!tokens_.empty() && (endsOperand(tokens_.back().kind) || isSemicolon(tokens_.back())))
      closeImplicitBlocks();
    const bool afterOperand = !tokens_.empty() && endsOperand(tokens_.back().kind);
    bool indented = false;
    while (pos_ < text_.size() && text_[pos_] == '\n') {
      ++pos_;
      indented = false;
      while (pos_ < text_.size() && isBlank(text_[pos_])) {
        ++pos_;
        indented = true;
      }
    }
    blank_ = indented;
    if (!afterOperand || pos_ == text_.size()) return;
    char next = operandKindAt(text_[pos_]);
    // An indented line continues the previous one through the blank operator, unless the
    // two tokens could not stand next to each other; then the line end ends a statement.
    bool endsStatement = indented ? next != 0 && isForbiddenPair(tokens_.back().kind, next)
                                  : next != 0 && next != 'k';
    if (endsStatement) {
      int line = tokens_.back().endLine;
      blank_ = false;
      push('o', ";", line, lines_[pos_]);
      blank_ = indented;
    } else {
      joinsLine_ = indented;
    }
  }

  const std::string& fileName_;
  const std::string& text_;
  const std::vector<int>& lines_;
  size_t pos_ = 0;
  bool blank_ = false;  // blanks (or an indentation) since the last token
  bool joinsLine_ = false;  // an indented line continues the previous one here
  std::vector<Token> tokens_;
  std::vector<OpenBracket> brackets_;  // innermost last
};

}  // namespace

std::vector<Token> tokenize(const std::string& fileName, const SourceText& source) {
  return classifyTokens(fileName, Scanner(fileName, source).run());
}

}  // namespace kavor
