// Changing a list: set, Set, ins, Ins, ins0, Ins0, the unnamed append, del0, Del0 (both
// forms), del, Del and flip. Every value is stored as an element is stored: a reference
// stays a reference, other values are copied. A method that fails leaves the list as it was:
// everything that can fail is checked or built before the list changes.
#include <algorithm>
#include <unordered_set>
#include <vector>

#include "core/messages.h"
#include "core/values.h"
#include "exec/calls.h"
#include "types/list_common.h"

namespace kavor {

namespace {

using Elements = std::vector<std::unique_ptr<Object>>;

}  // namespace

Elements buildElements(const MethodCall& call, size_t first, size_t step) {
  Elements elements;
  elements.reserve((call.args.size() - first + step - 1) / step);
  for (size_t i = first; i < call.args.size(); i += step) {
    auto element = std::make_unique<Object>();
    call.require(element->constructByTransfer(*call.args[i].object, Transfer::ReferenceOrCopy));
    elements.push_back(std::move(element));
  }
  return elements;
}

namespace {

void requirePairs(const MethodCall& call) {
  if (call.args.empty() || call.args.size() % 2 != 0) call.fail(message("anzargposger"));
}

// ---- inserting ------------------------------------------------------------------------

// The values, in argument order, at the front or at the end.
void insertValues(MethodCall& call, bool atEnd) {
  ListRecord& list = changeableList(call, true);
  if (call.args.size() == 1) {
    // The common single value needs no staging: a failing transfer appends nothing.
    call.require(atEnd ? list.append(*call.args[0].object, Transfer::ReferenceOrCopy)
                       : list.prepend(*call.args[0].object, Transfer::ReferenceOrCopy));
    return;
  }
  Elements elements = buildElements(call, 0, 1);
  list.insertObjects(atEnd ? list.size() : 0, elements);
}

void insertFirst(MethodCall& call) { insertValues(call, false); }
void insertLast(MethodCall& call) { insertValues(call, true); }

// Pairs (position, value), inserted one after the other, so that each value stands at its
// position in the list as it is when that pair is reached.
void insertPairs(MethodCall& call, bool fromEnd) {
  ListRecord& list = changeableList(call, true);
  requirePairs(call);
  std::vector<size_t> indices;
  indices.reserve(call.args.size() / 2);
  for (size_t i = 0; i < call.args.size(); i += 2)
    indices.push_back(readIndex(call, i, fromEnd, list.size() + indices.size(), PositionKind::Gap));
  Elements elements = buildElements(call, 1, 2);
  for (size_t k = 0; k < elements.size(); ++k) list.insertObject(indices[k], std::move(elements[k]));
}

void insertFront(MethodCall& call) { insertPairs(call, false); }
void insertBack(MethodCall& call) { insertPairs(call, true); }

// ---- setting --------------------------------------------------------------------------

}  // namespace

// Stores the staged value `value` into `element`. The value was copied first because it may
// lie inside the element's old value, which storing destroys. A value of the type the
// element holds already replaces the old one in place, so that loop variables and places
// bound to the element keep fitting it.
static Failure store(Object& element, Object& value) {
  bool plain = !element.isIndirection() && !value.isIndirection() && element.value != nullptr &&
               value.value != nullptr && element.isAny() && value.isAny();
  if (plain && element.base() == value.base() && element.base() != 'k') {
    copyValue(element, value);
    return Failure::none();
  }
  return transfer(element, value, isReferenceCode(value.typeCode) ? Transfer::Reference : Transfer::Move);
}

void storeValues(const MethodCall& call, const std::vector<Object*>& targets, Elements& values) {
  // Storing refuses only for reasons of the element (bound indirections); with several
  // pairs the earlier ones are undone from copies of the old values when a later one fails.
  Elements saved;
  for (size_t k = 0; k < targets.size(); ++k) {
    if (k + 1 < targets.size()) {
      auto old = std::make_unique<Object>('v');
      call.require(transfer(*old, *targets[k], Transfer::SameOrCopy));
      saved.push_back(std::move(old));
    }
    Failure failure = store(*targets[k], *values[k]);
    if (!failure) continue;
    // Each earlier element took a new value a moment ago and nothing has bound it since, so
    // it takes its own old value back without refusal.
    for (size_t j = k; j-- > 0;) {
      if (store(*targets[j], *saved[j])) (void)transfer(*targets[j], *saved[j], Transfer::SameOrMove);
    }
    call.fail(failure.text());
  }
}

namespace {

// Pairs (position, value): each value replaces the element's value; the element itself
// stays, so references and loop variables bound to it see the new value.
void setPairs(MethodCall& call, bool fromEnd) {
  ListRecord& list = changeableList(call, false);
  requirePairs(call);
  std::vector<Object*> targets;
  targets.reserve(call.args.size() / 2);
  for (size_t i = 0; i < call.args.size(); i += 2) {
    Object& element = list.at(readIndex(call, i, fromEnd, list.size(), PositionKind::Character));
    requireReleasable(call, element);
    targets.push_back(&element);
  }
  Elements values = buildElements(call, 1, 2);
  storeValues(call, targets, values);
}

void setFront(MethodCall& call) { setPairs(call, false); }
void setBack(MethodCall& call) { setPairs(call, true); }

// ---- removing -------------------------------------------------------------------------

void removeEnd(MethodCall& call, bool last) {
  ListRecord& list = changeableList(call, true);
  if (list.empty()) call.fail(message("insistlee"));
  size_t index = last ? list.size() - 1 : 0;
  requireReleasable(call, list.at(index));
  list.remove(index);
}

void removeFirst(MethodCall& call) { removeEnd(call, false); }
void removeLast(MethodCall& call) { removeEnd(call, true); }

// The function form `l.del0(x)`: moves the first (last) element into the variable and
// yields true, or yields false on an empty list.
void takeEnd(MethodCall& call, bool last) {
  ListRecord& list = changeableList(call, true);
  call.require(checkCount(call.args, 1));
  call.require(checkVariable(call.args, 0, false));
  if (list.empty()) {
    call.out().pushOwned(makeBool(false), Access::ConstResult);
    return;
  }
  Object& variable = *call.args[0].object;
  // Replacing the variable's value must not destroy the list taken from.
  if (liesWithin(variable, &call.object) || liesWithin(variable.resolve(true), &call.object))
    call.fail(message("vermuszykfresei"));
  size_t index = last ? list.size() - 1 : 0;
  // Taken out first, so that clearing the variable cannot reach the element.
  std::unique_ptr<Object> element = list.take(index);
  int kind = isReferenceCode(element->typeCode) ? Transfer::Reference
             : element->isIndirection()         ? Transfer::Copy
                                                : Transfer::Move;
  Failure failure = transfer(variable, *element, kind);
  if (failure) {
    list.insertObject(index, std::move(element));
    call.fail(failure.text());
  }
  call.out().pushOwned(makeBool(true), Access::ConstResult);
}

void takeFirst(MethodCall& call) { takeEnd(call, false); }
void takeLast(MethodCall& call) { takeEnd(call, true); }

void removePositions(MethodCall& call, bool fromEnd) {
  ListRecord& list = changeableList(call, true);
  call.require(checkCountRange(call.args, 1, -1));
  std::vector<size_t> indices;
  indices.reserve(call.args.size());
  for (size_t i = 0; i < call.args.size(); ++i)
    indices.push_back(readIndex(call, i, fromEnd, list.size(), PositionKind::Character));
  if (indices.size() == 1) {
    requireReleasable(call, list.at(indices[0]));
    list.remove(indices[0]);
    return;
  }
  std::vector<size_t> ascending = indices;
  std::sort(ascending.begin(), ascending.end());
  if (std::adjacent_find(ascending.begin(), ascending.end()) != ascending.end()) {
    // Report the first argument that repeats an earlier one.
    std::unordered_set<size_t> seen;
    for (size_t index : indices)
      if (!seen.insert(index).second) call.fail(fillKey("mehind", {std::to_string(index)}));
  }
  for (size_t index : ascending) requireReleasable(call, list.at(index));
  list.removeAt(ascending);
}

void removeFront(MethodCall& call) { removePositions(call, false); }
void removeBack(MethodCall& call) { removePositions(call, true); }

void flip(MethodCall& call) {
  changeableList(call, true).reverse();
}

const MethodEntry kChangeMethods[] = {
    {"set\xA7", true, false, setFront},
    {"Set\xA7", true, false, setBack},
    {"ins\xA7", true, false, insertFront},
    {"Ins\xA7", true, false, insertBack},
    {"\xA7", true, false, insertLast},
    {"ins0\xA7", true, false, insertFirst},
    {"Ins0\xA7", true, false, insertLast},
    {"del0\xA7\xA7", false, false, removeFirst},
    {"Del0\xA7\xA7", false, false, removeLast},
    {"del0\xA7", true, true, takeFirst},
    {"Del0\xA7", true, true, takeLast},
    {"del\xA7", true, false, removeFront},
    {"Del\xA7", true, false, removeBack},
    {"flip\xA7\xA7", false, false, flip},
};

}  // namespace

void registerListChangeMethods(TypeCode base) { registerMethods(base, kChangeMethods, std::size(kChangeMethods)); }

}  // namespace kavor
