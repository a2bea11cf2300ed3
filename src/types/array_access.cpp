// Reading `array` and `array2`: the array built from values, size, def, get, Get, [], keys
// and the find family over the slots that hold values.
#include "core/messages.h"
#include "core/values.h"
#include "exec/calls.h"
#include "types/array_common.h"

namespace kavor {

namespace {

void arrayFromValues(MethodCall& call) {
  auto made = std::make_unique<Object>(call.object.base());
  arrayOf(*made) = buildArray(call);
  call.out().pushOwned(std::move(made), Access::ConstResult);
}

void size(MethodCall& call) {
  ArrayRecord& array = definedArray(call);
  if (positionWidth(call) == 1) {
    call.out().pushOwned(makeInt(static_cast<long long>(array.slots.size())), Access::ConstResult);
    return;
  }
  size_t columns = static_cast<size_t>(array.columns);
  call.out().pushOwned(makeInt(static_cast<long long>(columns ? array.slots.size() / columns : 0)),
                       Access::ConstResult);
  call.out().pushOwned(makeInt(static_cast<long long>(columns)), Access::ConstResult);
}

void defined(MethodCall& call) {
  ArrayRecord& array = definedArray(call);
  size_t width = positionWidth(call);
  requireGroups(call, width);
  for (size_t i = 0; i < call.args.size(); i += width) {
    std::optional<size_t> slot = slotAt(call, array, i, false, true);
    call.out().pushOwned(makeBool(slot && array.holds(*slot)), Access::ConstResult);
  }
}

// The value of each addressed slot, as a place; a slot without a value is "not defined".
void valuesAt(MethodCall& call, bool fromEnd) {
  ArrayRecord& array = definedArray(call);
  size_t width = positionWidth(call);
  requireGroups(call, width);
  std::vector<Object*> found;
  for (size_t i = 0; i < call.args.size(); i += width) {
    size_t slot = slotInside(call, array, i, fromEnd);
    if (!array.holds(slot)) {
      if (width == 1) call.fail(fillKey("indnicdef", {std::to_string(slot)}));
      size_t columns = static_cast<size_t>(array.columns);
      call.fail(fillKey("ind2nicdef", {std::to_string(slot / columns), std::to_string(slot % columns)}));
    }
    found.push_back(array.slots[slot].get());
  }
  for (Object* value : found) pushPlace(call, *value);
}

void getFront(MethodCall& call) { valuesAt(call, false); }
void getBack(MethodCall& call) { valuesAt(call, true); }

// `a[i]`: the slot as a place, so that `a[i] = v` stores into it; a slot without a value
// gets an element to store into first, which needs an array that may change.
void subscript(MethodCall& call) {
  ArrayRecord& array = definedArray(call);
  size_t width = positionWidth(call);
  requireGroups(call, width);
  std::vector<size_t> slots;
  for (size_t i = 0; i < call.args.size(); i += width) slots.push_back(slotInside(call, array, i, false));
  for (size_t slot : slots) {
    if (array.slots[slot]) continue;
    call.requireModifiable();
    array.slots[slot] = std::make_unique<Object>();
  }
  for (size_t slot : slots) pushPlace(call, *array.slots[slot]);
}

void keys(MethodCall& call) {
  ArrayRecord& array = definedArray(call);
  for (size_t i = 0; i < array.slots.size(); ++i)
    if (array.holds(i)) pushPosition(call, array, i, false);
}

// The positions of the first (or of every) slot, from the first or from the last, whose
// value makes the code true.
void search(MethodCall& call, bool fromEnd, bool all) {
  ArrayRecord& array = definedArray(call);
  ElementCode code(call);
  ArrayHold hold(array);
  const size_t count = array.slots.size();
  for (size_t step = 0; step < count; ++step) {
    size_t slot = fromEnd ? count - 1 - step : step;
    if (!array.holds(slot)) continue;
    bool found = code.holdsFor(*array.slots[slot]);
    if (!hold.alive()) call.fail(message("unzwaeite"));
    if (!found) continue;
    pushPosition(call, array, slot, fromEnd);
    if (!all) return;
  }
}

void findFirst(MethodCall& call) { search(call, false, false); }
void findLast(MethodCall& call) { search(call, true, false); }
void findAll(MethodCall& call) { search(call, false, true); }
void findAllBack(MethodCall& call) { search(call, true, true); }

const MethodEntry kAccessMethods[] = {
    {"\xA7", true, true, arrayFromValues},
    {"size\xA7\xA7", false, true, size},
    {"def\xA7", true, true, defined},
    {"get\xA7", true, true, getFront},
    {"Get\xA7", true, true, getBack},
    {"[]\xA7", true, true, subscript},
    {"keys\xA7\xA7", false, true, keys},
    {"find\xA7", true, true, findFirst},
    {"Find\xA7", true, true, findLast},
    {"find_all\xA7", true, true, findAll},
    {"Find_all\xA7", true, true, findAllBack},
};

}  // namespace

void registerArrayAccessMethods(TypeCode base) { registerMethods(base, kAccessMethods, std::size(kAccessMethods)); }

}  // namespace kavor
