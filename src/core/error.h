// The one exception class that carries every error of the front end, the analysis and the
// run, and the titles of its kinds.
#pragma once

#include <string>

namespace kavor {

// Kinds of error; the character is what the `error` type stores.
namespace ErrorKind {
constexpr char Syntax = 'p';    // "Syntax error": lexer and tree builder
constexpr char System = 's';    // "System error": almost every run-time error
constexpr char Analysis = 'a';  // "Analysis error": the passes before execution
constexpr char User = 'u';      // errors a program builds itself; never printed as a title
}  // namespace ErrorKind

// An error with its complete message (placeholders already filled) and its position.
// Copied by value when caught; owns its texts.
struct ERROR {
  std::string message;  // complete text, printed on the indented second line
  char kind;            // an ErrorKind character
  std::string file;     // source file as the user named it; "" for internal errors
  int line;             // line in that file; 0 for internal errors

  ERROR(std::string message, char kind, std::string file, int line)
      : message(std::move(message)), kind(kind), file(std::move(file)), line(line) {}
};

// Thrown by the arithmetic of reals; always kind 's', no position.
struct ARITH : ERROR {
  int code;  // which arithmetic failure; informational only
  ARITH(std::string message, int code) : ERROR(std::move(message), ErrorKind::System, "", 0), code(code) {}
};

// "Syntax error", "System error", "Analysis error", or "" for any other kind.
std::string errorKindTitle(char kind);

// The one error format: "<title> in file '<file>', line '<line>':\n  <message>\n".
std::string formatError(const std::string& title, const std::string& file, long long line,
                        const std::string& message);

}  // namespace kavor
