// Changing `array` and `array2`: the unnamed call that resizes and fills, set, Set, del, Del,
// sort and Sort. A method that fails leaves the array as it was: positions are read and
// values built before any slot changes.
#include <map>
#include <optional>

#include "core/messages.h"
#include "exec/calls.h"
#include "types/array_common.h"

namespace kavor {

namespace {

// Every value the array holds may be destroyed: none holds a container being iterated.
void requireAllReleasable(const MethodCall& call, const ArrayRecord& array) {
  for (const auto& slot : array.slots)
    if (slot) requireReleasable(call, *slot);
}

// `a.(n, v...)`: a new size, all old values dropped, and the values given.
void resize(MethodCall& call) {
  ArrayRecord& array = changeableArray(call, true);
  ArrayRecord made = buildArray(call);
  requireAllReleasable(call, array);
  std::vector<std::unique_ptr<Object>> taken;
  array.handOverObjects(taken);
  array.slots = std::move(made.slots);
  array.columns = made.columns;
  destroyTakenObjects(taken);
}

// Groups (position, value): a slot that holds a value takes the new one in place, so that
// places and loop variables bound to it see it; a slot without one gets a new element.
void setGroups(MethodCall& call, bool fromEnd) {
  ArrayRecord& array = changeableArray(call, false);
  size_t group = positionWidth(call) + 1;
  requireGroups(call, group);
  std::vector<Object*> targets;
  std::vector<size_t> positions;
  for (size_t i = 0; i < call.args.size(); i += group) {
    size_t slot = slotInside(call, array, i, fromEnd);
    if (array.holds(slot)) requireReleasable(call, *array.slots[slot]);
    positions.push_back(slot);
  }
  std::vector<std::unique_ptr<Object>> values = buildElements(call, group - 1, group);
  std::vector<std::unique_ptr<Object>> stored;
  // A slot without a value takes the last value given for it.
  std::map<size_t, std::unique_ptr<Object>> fresh;
  for (size_t k = 0; k < positions.size(); ++k) {
    if (array.holds(positions[k])) {
      targets.push_back(array.slots[positions[k]].get());
      stored.push_back(std::move(values[k]));
    } else {
      fresh[positions[k]] = std::move(values[k]);
    }
  }
  storeValues(call, targets, stored);
  for (auto& [slot, value] : fresh) array.slots[slot] = std::move(value);
}

void setFront(MethodCall& call) { setGroups(call, false); }
void setBack(MethodCall& call) { setGroups(call, true); }

void clearSlots(MethodCall& call, bool fromEnd) {
  ArrayRecord& array = changeableArray(call, true);
  size_t width = positionWidth(call);
  requireGroups(call, width);
  std::vector<size_t> slots;
  for (size_t i = 0; i < call.args.size(); i += width) {
    size_t slot = slotInside(call, array, i, fromEnd);
    if (array.slots[slot]) requireReleasable(call, *array.slots[slot]);
    slots.push_back(slot);
  }
  for (size_t slot : slots) array.slots[slot].reset();
}

void clearFront(MethodCall& call) { clearSlots(call, false); }
void clearBack(MethodCall& call) { clearSlots(call, true); }

// Sorts the values among the slots that hold them: which slots hold values stays.
void sortValues(MethodCall& call, bool descending) {
  ArrayRecord& array = changeableArray(call, true);
  std::optional<ElementCode> code;
  if (!call.args.empty()) code.emplace(call);
  std::vector<size_t> held;
  std::vector<Object*> elements;
  for (size_t i = 0; i < array.slots.size(); ++i) {
    if (!array.holds(i)) continue;
    held.push_back(i);
    elements.push_back(array.slots[i].get());
  }
  if (held.size() < 2) return;
  ArrayHold hold(array);
  std::vector<size_t> order =
      sortedOrder(call, code ? &*code : nullptr, elements, descending, [&] { return hold.alive(); });
  std::vector<std::unique_ptr<Object>> arranged;
  arranged.reserve(held.size());
  for (size_t from : order) arranged.push_back(std::move(array.slots[held[from]]));
  for (size_t k = 0; k < held.size(); ++k) array.slots[held[k]] = std::move(arranged[k]);
}

void sortUp(MethodCall& call) { sortValues(call, false); }
void sortDown(MethodCall& call) { sortValues(call, true); }

const MethodEntry kChangeMethods[] = {
    {"\xA7", true, false, resize},
    {"set\xA7", true, false, setFront},
    {"Set\xA7", true, false, setBack},
    {"del\xA7", true, false, clearFront},
    {"Del\xA7", true, false, clearBack},
    {"sort\xA7", true, false, sortUp},
    {"Sort\xA7", true, false, sortDown},
};

}  // namespace

void registerArrayChangeMethods(TypeCode base) { registerMethods(base, kChangeMethods, std::size(kChangeMethods)); }

void registerArrayMethods() {
  registerArrayAccessMethods('a');
  registerArrayChangeMethods('a');
}

void registerArray2Methods() {
  registerArrayAccessMethods('z');
  registerArrayChangeMethods('z');
}

}  // namespace kavor
