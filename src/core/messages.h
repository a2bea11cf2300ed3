// Message catalogue lookup and the small printf-like filler used for every message.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace kavor {

// One catalogue entry: a key made of three-letter word abbreviations and its text,
// a printf-style format with "%s", "%d" and "%c" placeholders.
struct MessageEntry {
  const char* key;   // unique; nullptr only in the terminating entry
  const char* text;  // never nullptr except in the terminating entry
};

extern const MessageEntry kMessageTable[];

// Text of `key`, or "" when the catalogue has no such key (never a failure).
const char* message(std::string_view key);

// The texts of two keys joined, e.g. "Operator '<' for type '%s': " + a second message.
std::string concatMessages(std::string_view key1, std::string_view key2);

// Fills the placeholders "%s", "%d" and "%c" of `format` in order with `args`; every
// argument is already text, so an `int` shows its full decimal text whatever its size.
// "%%" writes one "%". Missing arguments leave the placeholder empty.
std::string fill(std::string_view format, std::initializer_list<std::string_view> args);

// fill(message(key), args).
std::string fillKey(std::string_view key, std::initializer_list<std::string_view> args);

}  // namespace kavor
