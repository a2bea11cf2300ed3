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
  return next != 0 && std::strchr(forbidden, next) != nullptr;  // 0 would match the terminator
}

namespace {

char secondChar(const std::string& text) { return text.size() > 1 ? text[1] : 0; }

// An operator where an operand is expected stands alone as a value when nothing it could
// apply to follows: the end, a closing bracket, "," or ";" (`f(+, -)`, `o = +`).
bool standsAlone(const std::vector<Token>& raw, size_t i) {
  if (!isOperSetOperator(raw[i].text[0], secondChar(raw[i].text))) return false;
  if (i + 1 == raw.size()) return true;
  const Token& next = raw[i + 1];
  return next.kind == 'K' || (next.kind == 'o' && (next.text == "," || next.text == ";"));
}

bool isKindOf(char kind, const char* kinds) { return kind != 0 && std::strchr(kinds, kind) != nullptr; }
bool endsOperand(char kind) { return isKindOf(kind, "nzscK#v"); }
bool beginsOperand(char kind) { return isKindOf(kind, "nzsc#"); }

}  // namespace

std::vector<Token> classifyTokens(const std::string& fileName, std::vector<Token> raw) {
  std::vector<Token> tokens;
  tokens.reserve(raw.size());
  char previous = 0;  // kind of the previous token; 0 at the start
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i].kind == 'o' && (previous == 0 || isKindOf(previous, "o!+-k"))) {
      if (standsAlone(raw, i)) raw[i].kind = 'v';
      else if (raw[i].text == "+" || raw[i].text == "-" || raw[i].text == "!") raw[i].kind = raw[i].text[0];
    }
    Token token = std::move(raw[i]);  // the look-ahead above reads only this and later tokens
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
