// The result of a number operation that can refuse its operands: a value, or the message
// text of why there is none. The caller raises the text with its own context ("Operator '/': ",
// "Function 'binom': ", ...), so the text here is the bare catalogue message.
#pragma once

#include <string>
#include <utility>

namespace kavor {

template <class T>
struct Outcome {
  T value{};            // the result; meaningful only when failure is empty
  std::string failure;  // "" on success, else the complete message (placeholders filled)

  bool ok() const { return failure.empty(); }

  static Outcome success(T value) { return Outcome{std::move(value), {}}; }
  static Outcome refusal(std::string failure) { return Outcome{T{}, std::move(failure)}; }
};

}  // namespace kavor
