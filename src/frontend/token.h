// The tokens the lexer hands to the tree builder.
#pragma once

#include <string>

namespace kavor {

// Token kinds:
//   'n' name, 'z' number, 'c' character constant, 's' string literal,
//   'o' operator (binary use; ' ' is the blank operator, ";" also ends lines),
//   '!', '+', '-' those operators in prefix position,
//   'v' an operator of the `oper` set standing alone as a value (`f(+)`),
//   '#' the operator "#" (an empty block), 'k' opening bracket, 'K' closing bracket.
struct Token {
  char kind = 0;
  // Name, number source text, translated literal, operator characters or bracket.
  std::string text;
  int line = 0;     // physical line of the first character
  int endLine = 0;  // physical line of the character after the token
  bool blankBefore = false;  // blanks separate it from the previous token
  // The token begins an indented line that continues the previous one; a blank operator
  // made there joins whole lines and groups more loosely than one within a line.
  bool joinsLine = false;
};

// The display text of a token kind in "%s after %s" ("Name", "Bracket", ...); "" for
// kinds without one.
std::string tokenKindDisplay(char kind);

// Whether `next` must not follow `previous` directly (blanks between them do not matter).
bool isForbiddenPair(char previous, char next);

}  // namespace kavor
