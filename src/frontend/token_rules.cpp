#include "frontend/token_rules.h"

#include <cstring>

#include "core/error.h"
#include "core/messages.h"
#include "frontend/operators.h"

namespace kavor {

std::string tokenKindDisplay(char kind) {
  switch (kind) {
    case 'n': return message("nam");
    case 'z': return message("zah");
    case 'c': return message("zei");
    case 's': return message("str");
    case 'o': return message("ope");
    case '!': return message("!ope");
    case '+': return message("+ope");
    case '-': return message("-ope");
    case 'k':
    case 'K': return message("kla");
    default: return "";
  }
}

bool isForbiddenPair(char previous, char next) {
  const char* forbidden = "";
  switch (previous) {
    case '!': forbidden = "+-o"; break;
    case '+':
    case '-': forbidden = "!o"; break;
    case 'K':
    case 's': forbidden = "csnz"; break;
    case 'c':
    case 'z': forbidden = "csnzk"; break;
    case 'n': forbidden = "cz"; break;
    case 'o': forbidden = "o"; break;
    default: break;
  }
  return next != 0 && std::strchr(forbidden, next) != nullptr;
}

namespace {

bool isPrefixText(const Token& token) {
  return token.kind == 'o' && (token.text == "+" || token.text == "-" || token.text == "!");
}

char secondChar(const std::string& text) { return text.size() > 1 ? text[1] : 0; }

// An operator where an operand is expected stands alone as a value when nothing it could
// apply to follows: the end, a closing bracket, or a binary operator.
bool standsAlone(const std::vector<Token>& raw, size_t i) {
  if (!isOperSetOperator(raw[i].text[0], secondChar(raw[i].text))) return false;
  if (i + 1 == raw.size()) return true;
  const Token& next = raw[i + 1];
  return next.kind == 'K' || (next.kind == 'o' && !isPrefixText(next));
}

bool endsOperand(char kind) { return std::strchr("nzscK#v", kind) != nullptr; }
bool beginsOperand(char kind) { return std::strchr("nzsc#", kind) != nullptr; }

}  // namespace

std::vector<Token> classifyTokens(const std::string& fileName, const std::vector<Token>& raw) {
  std::vector<Token> tokens;
  tokens.reserve(raw.size());
  char previous = 0;  // kind of the previous token; 0 at the start
  for (size_t i = 0; i < raw.size(); ++i) {
    Token token = raw[i];
    if (token.kind == 'o' && (previous == 0 || std::strchr("o!+-k", previous))) {
      if (standsAlone(raw, i)) token.kind = 'v';
      else if (isPrefixText(token)) token.kind = token.text[0];
    }
    if (isForbiddenPair(previous, token.kind))
      throw ERROR(fill(message("objnacobj"), {tokenKindDisplay(token.kind), tokenKindDisplay(previous)}),
                  ErrorKind::Syntax, fileName, token.line);
    if (token.blankBefore && endsOperand(previous) && beginsOperand(token.kind)) {
      Token blank;
      blank.kind = 'o';
      blank.text = " ";
      blank.line = token.line;
      blank.endLine = token.line;
      blank.joinsLine = token.joinsLine;
      tokens.push_back(std::move(blank));
    }
    previous = token.kind;
    tokens.push_back(std::move(token));
  }
  return tokens;
}

}  // namespace kavor
