// What the `str` method families share: the checks every method makes on its string, the
// reading of positions, needle search, stripping, and the value a token stands for.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/containers.h"
#include "core/text_form.h"
#include "streams/str_data.h"
#include "exec/method_table.h"

namespace kavor {

// One registrar per method family; registerStrMethods() calls them all.
void registerStrSearchMethods();
void registerStrPositionMethods();
void registerStrSplitMethods();
void registerStrChangeMethods();
void registerStrEditMethods();
void registerStrClassMethods();
void registerStrStreamMethods();

// The string a method works on; fails with "Object is not defined" when it has no value.
STR_DATA& definedText(const MethodCall& call);
// As definedText, and the string must hold at least one character ("Object is empty").
STR_DATA& nonEmptyText(const MethodCall& call);
// The string of a procedure-form method that may change its length: defined, modifiable,
// and not being iterated ("infeasible during iteration").
STR_DATA& resizableText(const MethodCall& call);
// The text of argument `index`, after checking that it is a `str` (and not empty when
// `notEmpty`).
const std::string& textArgument(const MethodCall& call, size_t index, bool notEmpty);

// Raises a string's iteration count while a method runs code for each of its characters,
// so that the code cannot change the string's length under the method. The code may still
// destroy or replace the whole value; `intact()` tells whether the held payload is still
// the string's, and only then is its count lowered again.
class IterationHold {
 public:
  explicit IterationHold(Object& string) : string_(string), payload_(&string.asStr()), watch_(payload_) {
    ++payload_->iterationCount;
  }
  ~IterationHold() {
    if (intact() && payload_->iterationCount > 0) --payload_->iterationCount;
  }
  IterationHold(const IterationHold&) = delete;
  IterationHold& operator=(const IterationHold&) = delete;
  bool intact() const { return string_.value == payload_ && string_.base() == 's'; }

 private:
  Object& string_;    // the string being held
  STR_DATA* payload_; // its payload when the hold began; only used while intact()
  IterationWatch watch_;  // tells the containers around the string that a loop runs
};

// Where a position points: at one of `length` characters, or into one of the `length + 1`
// gaps around them (where text is inserted).
enum class PositionKind { Character, Gap };

// Reads int argument `index` (not empty) as a position counted from the front, or from the
// end for the capital forms (character p from the end is length - 1 - p, gap p from the end
// is length - p). Returns the index, or nothing when it falls outside the string; `shown`
// then holds the position as computed, for the message.
std::optional<size_t> readPosition(const MethodCall& call, size_t index, bool fromEnd, size_t length,
                                   PositionKind kind, std::string& shown);
// readPosition for a character, failing with "Infeasible argument '%d'".
size_t characterPosition(const MethodCall& call, size_t index, bool fromEnd, size_t length);
// The substring bounds of getp/setp/delp from arguments `first` and `first + 1`: both must
// be characters; when the start lies after the end the range is the start alone.
struct CharacterRange {
  size_t start;  // first byte of the range
  size_t count;  // at least 1
};
CharacterRange characterRange(const MethodCall& call, size_t first, bool fromEnd, size_t length);

// Finds the non-overlapping occurrences of one needle in linear time, from the front or
// from the end (Knuth-Morris-Pratt over the needle, reversed for the backward search).
class NeedleSearch {
 public:
  // `needle` must outlive the search and must not be empty.
  NeedleSearch(std::string_view needle, bool backwards);
  // Forwards: the first occurrence starting at or after `bound`. Backwards: the last one
  // ending at or before `bound`. Returns its start, or npos when there is none.
  size_t next(std::string_view text, size_t bound) const;
  size_t size() const { return needle_.size(); }

 private:
  char at(size_t i) const { return backwards_ ? needle_[needle_.size() - 1 - i] : needle_[i]; }
  std::string_view needle_;    // the text searched for; never empty
  bool backwards_;             // search from the end towards the front
  std::vector<size_t> border_; // border_[i]: longest proper border of the first i + 1 (read
                               // in search direction) needle bytes
};

// The number of bytes at the front (or the end) of `text` made of entries of the strip set:
// each pass over the set takes every entry as often as it matches, and passes repeat while
// one of them advanced. Empty entries are not allowed.
size_t strippable(std::string_view text, const std::vector<std::string>& set, bool atEnd);

// The value a token stands for: an int literal an `int`, a real literal a `real`, one byte
// a `char`, anything else a `str`.


}  // namespace kavor
