#include "types/array_common.h"

#include <cstdint>
#include <limits>

#include "core/messages.h"
#include "core/values.h"
#include "exec/calls.h"
#include "numbers/bigint.h"

namespace kavor {

namespace {

// Beyond any array; only messages need such a value, as its text.
constexpr int64_t kFar = int64_t{1} << 62;

// The int of argument `index`, or nullopt when it is no int or lies beyond any array.
std::optional<int64_t> smallInt(const MethodCall& call, size_t index) {
  Object& argument = call.args[index].object->resolve(true);
  if (argument.base() != 'i' || !argument.isDefined() || argument.isEmpty()) return std::nullopt;
  if (!argument.asInt().fitsIn(-kFar, kFar)) return std::nullopt;
  return argument.asInt().toInt64();
}

// The text of argument `index` for "Index '%d' not defined".
std::string shownInt(const MethodCall& call, size_t index) {
  return call.args[index].object->resolve(true).asInt().toText();
}

size_t rowsOf(const ArrayRecord& array) {
  return array.columns > 0 ? array.slots.size() / static_cast<size_t>(array.columns) : 0;
}

}  // namespace

ArrayRecord& definedArray(const MethodCall& call) {
  if (!call.object.isDefined()) call.fail(message("insnicdef"));
  return arrayOf(call.object);
}

ArrayRecord& changeableArray(const MethodCall& call, bool structure) {
  ArrayRecord& array = definedArray(call);
  call.requireModifiable();
  if (structure && array.iterationCount > 0) call.fail(message("unzwaeite"));
  return array;
}

std::optional<size_t> slotAt(const MethodCall& call, const ArrayRecord& array, size_t first, bool fromEnd,
                             bool outsideAnswers) {
  if (positionWidth(call) == 1) {
    call.require(checkType(call.args, first, 'i', true));
    std::optional<int64_t> position = smallInt(call, first);
    auto size = static_cast<int64_t>(array.slots.size());
    if (position && fromEnd) *position = size - 1 - *position;
    if (position && *position >= 0 && *position < size) return static_cast<size_t>(*position);
    if (outsideAnswers) return std::nullopt;
    call.fail(fillKey("indnicdef", {shownInt(call, first)}));
  }
  std::optional<int64_t> row = smallInt(call, first);
  std::optional<int64_t> column = smallInt(call, first + 1);
  bool pair = row && column && *row >= 0 && *column >= 0;
  if (!pair) {
    if (outsideAnswers) return std::nullopt;
    call.fail(message("unzargerw2posint"));
  }
  auto rows = static_cast<int64_t>(rowsOf(array));
  auto columns = static_cast<int64_t>(array.columns);
  if (*row < rows && *column < columns) {
    if (fromEnd) {
      *row = rows - 1 - *row;
      *column = columns - 1 - *column;
    }
    return static_cast<size_t>(*row * columns + *column);
  }
  if (outsideAnswers) return std::nullopt;
  call.fail(fillKey("ind2nicdef", {std::to_string(*row), std::to_string(*column)}));
}

size_t slotInside(const MethodCall& call, const ArrayRecord& array, size_t first, bool fromEnd) {
  return *slotAt(call, array, first, fromEnd, false);
}

void requireGroups(const MethodCall& call, size_t group) {
  if (call.args.empty() || call.args.size() % group != 0) {
    call.fail(message(group == 3 ? "anzargposvie3" : "anzargposger"));
  }
}

void pushPosition(const MethodCall& call, const ArrayRecord& array, size_t slot, bool fromEnd) {
  if (fromEnd) slot = array.slots.size() - 1 - slot;
  if (array.columns == 0) {
    call.out().pushOwned(makeInt(static_cast<long long>(slot)), Access::ConstResult);
    return;
  }
  auto columns = static_cast<size_t>(array.columns);
  call.out().pushOwned(makeInt(static_cast<long long>(slot / columns)), Access::ConstResult);
  call.out().pushOwned(makeInt(static_cast<long long>(slot % columns)), Access::ConstResult);
}

ArrayRecord buildArray(const MethodCall& call) {
  // Slot counts stay within what a signed 32-bit size holds.
  constexpr int64_t kMostSlots = std::numeric_limits<int32_t>::max();
  ArrayRecord made;
  size_t width = positionWidth(call);
  int64_t slots = 0;
  if (width == 1) {
    std::optional<int64_t> size = call.args.empty() ? std::nullopt : smallInt(call, 0);
    if (!size || *size < 1 || *size > kMostSlots) call.fail(message("unzargerwposint"));
    slots = *size;
  } else {
    std::optional<int64_t> rows = call.args.size() < 2 ? std::nullopt : smallInt(call, 0);
    std::optional<int64_t> columns = call.args.size() < 2 ? std::nullopt : smallInt(call, 1);
    if (!rows || !columns || *rows < 1 || *columns < 1 || *rows > kMostSlots / *columns)
      call.fail(message("unzargerw2posint"));
    slots = *rows * *columns;
    made.columns = static_cast<int32_t>(*columns);
  }
  size_t values = call.args.size() - width;
  if (values != 0 && values != static_cast<size_t>(slots)) call.fail(message("arrmusanznacargueb"));
  made.slots.resize(static_cast<size_t>(slots));
  for (size_t i = 0; i < values; ++i) {
    made.slots[i] = std::make_unique<Object>();
    call.require(made.slots[i]->constructByTransfer(*call.args[width + i].object, Transfer::ReferenceOrCopy));
  }
  return made;
}

}  // namespace kavor
