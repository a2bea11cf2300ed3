// Why an operation was refused: the one shape every layer returns a refusal in, alone or
// beside the value the operation yields. It includes nothing of ours, so numbers/ and
// streams/ use it as well as core and everything above.
#pragma once

#include <string>
#include <utility>

namespace kavor {

// None when the operation was done; otherwise the complete text of the refusal
// (placeholders filled), which the caller raises in its own context or prints. Marked
// [[nodiscard]] so that the compiler reports every call whose refusal nobody looks at; a
// caller that may drop one says so with `(void)` and the reason.
class [[nodiscard]] Failure {
 public:
  Failure() = default;
  // A refusal with this text. Not explicit, so that a function returns its message as it
  // composes it; an empty text is no refusal.
  Failure(std::string text) : text_(std::move(text)) {}
  Failure(const char* text) : text_(text) {}

  static Failure none() { return Failure(); }

  // True when the operation was refused.
  explicit operator bool() const { return !text_.empty(); }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// The result of an operation that yields a value or refuses. The number operations return
// the bare catalogue message, which the caller raises with its own context ("Operator '/': ",
// "Function 'binom': ", ...).
template <class T>
struct [[nodiscard]] Outcome {
  T value{};        // the result; meaningful only when there is no failure
  Failure failure;  // none on success

  bool ok() const { return !failure; }

  static Outcome success(T value) { return Outcome{std::move(value), Failure::none()}; }
  static Outcome refusal(Failure failure) { return Outcome{T{}, std::move(failure)}; }
};

}  // namespace kavor
