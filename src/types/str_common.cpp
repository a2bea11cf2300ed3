#include "types/str_common.h"

#include "core/messages.h"
#include "core/text_form.h"
#include "core/values.h"
#include "exec/calls.h"
#include "numbers/bigint.h"
#include "numbers/bigreal.h"

namespace kavor {

STR_DATA& definedText(const MethodCall& call) {
  if (!call.object.isDefined()) call.fail(message("insnicdef"));
  return call.object.asStr();
}

STR_DATA& nonEmptyText(const MethodCall& call) {
  STR_DATA& text = definedText(call);
  if (text.text.empty()) call.fail(message("insistlee"));
  return text;
}

STR_DATA& resizableText(const MethodCall& call) {
  STR_DATA& text = definedText(call);
  call.requireModifiable();
  if (text.iterationCount > 0) call.fail(message("unzwaeite"));
  return text;
}

const std::string& textArgument(const MethodCall& call, size_t index, bool notEmpty) {
  call.require(checkType(call.args, index, 's', notEmpty));
  return call.args[index].object->resolve(true).asStr().text;
}

std::optional<size_t> readPosition(const MethodCall& call, size_t index, bool fromEnd, size_t length,
                                   PositionKind kind, std::string& shown) {
  call.require(checkType(call.args, index, 'i', true));
  const BigInt& given = call.args[index].object->resolve(true).asInt();
  // Counting from the end mirrors the position inside the valid span.
  const int64_t span = static_cast<int64_t>(length) + (kind == PositionKind::Gap ? 1 : 0);
  // Far beyond any string: only the message needs the computed value.
  constexpr int64_t kFar = int64_t{1} << 62;
  if (!given.fitsIn(-kFar, kFar)) {
    shown = (fromEnd ? BigInt(span - 1) - given : given).toText();
    return std::nullopt;
  }
  int64_t position = *given.toInt64();
  if (fromEnd) position = span - 1 - position;
  if (position < 0 || position >= span) {
    shown = std::to_string(position);
    return std::nullopt;
  }
  return static_cast<size_t>(position);
}

size_t characterPosition(const MethodCall& call, size_t index, bool fromEnd, size_t length) {
  std::string shown;
  std::optional<size_t> position = readPosition(call, index, fromEnd, length, PositionKind::Character, shown);
  if (!position) call.fail(fillKey("unzarg", {shown}));
  return *position;
}

CharacterRange characterRange(const MethodCall& call, size_t first, bool fromEnd, size_t length) {
  size_t start = characterPosition(call, first, fromEnd, length);
  size_t end = characterPosition(call, first + 1, fromEnd, length);
  if (start > end) end = start;
  return {start, end - start + 1};
}

NeedleSearch::NeedleSearch(std::string_view needle, bool backwards)
    : needle_(needle), backwards_(backwards), border_(needle.size(), 0) {
  size_t k = 0;
  for (size_t i = 1; i < needle_.size(); ++i) {
    while (k > 0 && at(i) != at(k)) k = border_[k - 1];
    if (at(i) == at(k)) ++k;
    border_[i] = k;
  }
}

size_t NeedleSearch::next(std::string_view text, size_t bound) const {
  const size_t m = needle_.size();
  if (backwards_ ? bound > text.size() || bound < m : bound > text.size() || text.size() - bound < m)
    return std::string_view::npos;
  // Walks the text in search direction from `bound`; step j reads the j-th byte met.
  const size_t steps = backwards_ ? bound : text.size() - bound;
  size_t k = 0;
  for (size_t j = 0; j < steps; ++j) {
    char c = backwards_ ? text[bound - 1 - j] : text[bound + j];
    while (k > 0 && c != at(k)) k = border_[k - 1];
    if (c == at(k)) ++k;
    if (k == m) return backwards_ ? bound - 1 - j : bound + j + 1 - m;
  }
  return std::string_view::npos;
}

size_t strippable(std::string_view text, const std::vector<std::string>& set, bool atEnd) {
  size_t stripped = 0;
  for (bool advanced = true; advanced;) {
    advanced = false;
    for (const std::string& entry : set) {
      while (entry.size() <= text.size() - stripped) {
        size_t at = atEnd ? text.size() - stripped - entry.size() : stripped;
        if (text.compare(at, entry.size(), entry) != 0) break;
        stripped += entry.size();
        advanced = true;
      }
    }
  }
  return stripped;
}


}  // namespace kavor
