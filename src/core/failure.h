// Why an operation was refused: the one shape every layer from core on returns a refusal
// in, alone or beside the value the operation yields (Outcome<T, Failure>). numbers/ and
// streams/ refuse with a Refusal (numbers/refusal.h), which becomes a Failure here.
#pragma once

#include <string>
#include <utility>

#include "numbers/refusal.h"

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
  // The complete text of a lower layer's refusal, from the message catalogue.
  Failure(const Refusal& refusal);

  static Failure none() { return Failure(); }

  // True when the operation was refused.
  explicit operator bool() const { return !text_.empty(); }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

}  // namespace kavor
