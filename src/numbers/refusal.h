// Why an operation of the lowest layers (numbers, streams) was refused: the key of its
// message in the catalogue and the text for the message's placeholder. These layers name
// their refusals without composing them, since the catalogue lives above them in core,
// where a Refusal becomes a Failure with the complete text.
#pragma once

#include <string>
#include <utility>

namespace kavor {

class [[nodiscard]] Refusal {
 public:
  Refusal() = default;
  static Refusal none() { return Refusal(); }
  // The message `key`, which has no placeholder.
  static Refusal of(const char* key) { return Refusal(key, std::string(), false); }
  // The message `key` with its one placeholder filled by `argument`.
  static Refusal of(const char* key, std::string argument) { return Refusal(key, std::move(argument), true); }

  // True when the operation was refused.
  explicit operator bool() const { return key_ != nullptr; }
  const char* key() const { return key_; }
  const std::string& argument() const { return argument_; }
  bool hasArgument() const { return hasArgument_; }

 private:
  Refusal(const char* key, std::string argument, bool hasArgument)
      : key_(key), argument_(std::move(argument)), hasArgument_(hasArgument) {}

  const char* key_ = nullptr;  // the message key; null when nothing was refused
  std::string argument_;       // the placeholder's text, when hasArgument_
  bool hasArgument_ = false;   // the message has a placeholder to fill
};

// The result of an operation that yields a value or refuses; `Why` is the refusal's shape:
// a Refusal below core, a Failure (core/failure.h) from core on. The number operations
// refuse with the bare catalogue message, which the caller raises with its own context
// ("Operator '/': ", "Function 'binom': ", ...).
template <class T, class Why = Refusal>
struct [[nodiscard]] Outcome {
  T value{};    // the result; meaningful only when there is no failure
  Why failure;  // none on success

  bool ok() const { return !failure; }

  static Outcome success(T value) { return Outcome{std::move(value), Why::none()}; }
  static Outcome refusal(Why failure) { return Outcome{T{}, std::move(failure)}; }
};

}  // namespace kavor
