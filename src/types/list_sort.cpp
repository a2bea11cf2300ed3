// Sorting a list: sort (ascending) and Sort (descending), by the elements themselves or by
// the value a code yields for each element.
//
// The order is the operator "<" of the elements' type. The sort is a stable merge sort
// (O(n log n) on every input, sorted, reversed or all equal): elements that compare equal
// keep their order in both directions. The elements are rearranged, never copied, and only
// once the order is complete, so a failing comparison leaves the list as it was.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "core/messages.h"
#include "exec/dispatch.h"
#include "numbers/bigint.h"
#include "types/list_common.h"

namespace kavor {

namespace {

// The values the code yields for the elements, in element order, each copied (a reference
// stays a reference) since the code's results do not outlive its evaluation.
std::vector<std::unique_ptr<Object>> codeKeys(const MethodCall& call, ElementCode& code,
                                              const std::vector<Object*>& elements,
                                              const std::function<bool()>& unchanged) {
  std::vector<std::unique_ptr<Object>> keys;
  keys.reserve(elements.size());
  for (Object* element : elements) {
    ResultList values;
    Object& value = code.valueFor(*element, values);
    if (!unchanged()) call.fail(message("unzwaeite"));
    auto key = std::make_unique<Object>('v');
    call.require(transfer(*key, value, Transfer::ReferenceOrCopy));
    keys.push_back(std::move(key));
  }
  return keys;
}

// The common case of integer keys that fit a machine word, whose order "<" is the numeric
// one: sorted as (value, index) pairs side by side in memory, instead of through the
// scattered key objects. Returns false, leaving `order` alone, when some key is no such
// integer.
bool sortMachineIntegers(const std::vector<Object*>& keys, bool descending, std::vector<size_t>& order) {
  std::vector<std::pair<int64_t, size_t>> pairs;
  pairs.reserve(keys.size());
  for (size_t i = 0; i < keys.size(); ++i) {
    const Object& key = *keys[i];
    if (key.base() != 'i' || !key.isDefined()) return false;
    int64_t value;
    if (!key.readSmallInt(value)) return false;
    pairs.emplace_back(value, i);
  }
  if (descending)
    std::stable_sort(pairs.begin(), pairs.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  else
    std::stable_sort(pairs.begin(), pairs.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (size_t i = 0; i < pairs.size(); ++i) order[i] = pairs[i].second;
  return true;
}

}  // namespace

std::vector<size_t> sortedOrder(const MethodCall& call, ElementCode* code, const std::vector<Object*>& elements,
                                bool descending, const std::function<bool()>& unchanged) {
  const size_t count = elements.size();
  std::vector<std::unique_ptr<Object>> computed;
  if (code) computed = codeKeys(call, *code, elements, unchanged);
  std::vector<Object*> keys(count);
  for (size_t i = 0; i < count; ++i) keys[i] = &(code ? *computed[i] : *elements[i]).resolve(true);
  // Only values of one type have an order; deeper mismatches (inside lists) are found by
  // the comparison itself.
  for (Object* key : keys)
    if (key->base() != keys[0]->base()) call.fail(message("inkdattyp"));

  std::vector<size_t> order(count);
  if (!sortMachineIntegers(keys, descending, order)) {
    for (size_t i = 0; i < count; ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
      if (descending) std::swap(a, b);
      return orderOf(call.exec, call.node, *keys[a], *keys[b]) < 0;
    });
  }
  return order;
}

namespace {

void sortList(MethodCall& call, bool descending) {
  ListRecord& list = changeableList(call, true);
  std::optional<ElementCode> code;
  if (!call.args.empty()) code.emplace(call);
  const size_t count = list.size();
  if (count < 2) return;
  std::vector<Object*> elements(count);
  for (size_t i = 0; i < count; ++i) elements[i] = &list.at(i);
  ListHold hold(list);
  std::vector<size_t> order = sortedOrder(call, code ? &*code : nullptr, elements, descending,
                                          [&] { return hold.alive() && list.size() == count; });
  list.permute(order);
}

void sortUp(MethodCall& call) { sortList(call, false); }
void sortDown(MethodCall& call) { sortList(call, true); }

const MethodEntry kSortMethods[] = {
    {"sort\xA7", true, false, sortUp},
    {"Sort\xA7", true, false, sortDown},
};

}  // namespace

void registerListSortMethods(TypeCode base) { registerMethods(base, kSortMethods, std::size(kSortMethods)); }

}  // namespace kavor
