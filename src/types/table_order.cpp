// Searching and sorting `hash` and `set`: the find family and sort, Sort, sort_keys and
// Sort_keys.
//
// A hash searches bucket by bucket (from bucket 0 and each bucket's first entry, or from
// bucket 96 and each bucket's last entry), whatever order a sort has arranged, and yields
// keys. A set searches its elements in iteration order and yields positions, as a list does.
// Sorting rearranges only the iteration order: the buckets stay as they are, and the next
// insertion or deletion brings bucket order back.
#include <optional>
#include <vector>

#include "core/messages.h"
#include "core/values.h"
#include "types/table_common.h"

namespace kavor {

namespace {

// What a search binds the variable to, and what it yields.
enum class Target { Values, Keys };

Object& boundPart(HashEntry* entry, Target target) { return target == Target::Keys ? *entry->key : *entry->value; }

void searchHash(MethodCall& call, bool fromEnd, bool all, Target target) {
  HashTable& table = definedTable(call);
  ElementCode code(call, target == Target::Keys);
  TableHold hold(table);
  for (int step = 0; step < HashTable::kBuckets; ++step) {
    int bucket = fromEnd ? HashTable::kBuckets - 1 - step : step;
    HashEntry* entry = fromEnd ? table.bucketLast(bucket) : table.bucketFirst(bucket);
    while (entry != nullptr) {
      bool found = code.holdsFor(boundPart(entry, target));
      // The code may have replaced the whole hash; its entries are gone then.
      if (!hold.alive()) call.fail(message("unzwaeite"));
      if (found) {
        pushCopy(call, *entry->key);
        if (!all) return;
      }
      entry = fromEnd ? entry->previous : entry->next;
    }
  }
}

void findValue(MethodCall& call) { searchHash(call, false, false, Target::Values); }
void findValueBack(MethodCall& call) { searchHash(call, true, false, Target::Values); }
void findAllValues(MethodCall& call) { searchHash(call, false, true, Target::Values); }
void findAllValuesBack(MethodCall& call) { searchHash(call, true, true, Target::Values); }
void findKey(MethodCall& call) { searchHash(call, false, false, Target::Keys); }
void findKeyBack(MethodCall& call) { searchHash(call, true, false, Target::Keys); }
void findAllKeys(MethodCall& call) { searchHash(call, false, true, Target::Keys); }
void findAllKeysBack(MethodCall& call) { searchHash(call, true, true, Target::Keys); }

// The positions (in iteration order, counted from the end for the capital forms) of the
// first or of every element of a set for which the code is true.
void searchSet(MethodCall& call, bool fromEnd, bool all) {
  HashTable& table = definedTable(call);
  ElementCode code(call, true);
  TableHold hold(table);
  const std::vector<HashEntry*> elements = table.entries();
  for (size_t step = 0; step < elements.size(); ++step) {
    bool found = code.holdsFor(*elements[fromEnd ? elements.size() - 1 - step : step]->key);
    if (!hold.alive()) call.fail(message("unzwaeite"));
    if (!found) continue;
    call.out().pushOwned(makeInt(static_cast<long long>(step)), Access::ConstResult);
    if (!all) return;
  }
}

void findElement(MethodCall& call) { searchSet(call, false, false); }
void findElementBack(MethodCall& call) { searchSet(call, true, false); }
void findAllElements(MethodCall& call) { searchSet(call, false, true); }
void findAllElementsBack(MethodCall& call) { searchSet(call, true, true); }

// Orders the iteration by the values or by the keys (or by what the code yields for them).
void sortTable(MethodCall& call, bool descending, Target target) {
  HashTable& table = changeableTable(call, true);
  std::optional<ElementCode> code;
  if (!call.args.empty()) code.emplace(call, target == Target::Keys);
  if (table.count < 2) return;
  std::vector<HashEntry*> entries = table.entries();
  std::vector<Object*> parts;
  parts.reserve(entries.size());
  for (HashEntry* entry : entries) parts.push_back(&boundPart(entry, target));
  TableHold hold(table);
  std::vector<size_t> order =
      sortedOrder(call, code ? &*code : nullptr, parts, descending, [&] { return hold.alive(); });
  table.index.clear();
  for (size_t from : order) table.index.push_back(entries[from]);
  table.indexValid = true;
}

void sortValues(MethodCall& call) { sortTable(call, false, Target::Values); }
void sortValuesDown(MethodCall& call) { sortTable(call, true, Target::Values); }
void sortKeys(MethodCall& call) { sortTable(call, false, Target::Keys); }
void sortKeysDown(MethodCall& call) { sortTable(call, true, Target::Keys); }

const MethodEntry kHashOrderMethods[] = {
    {"find\xA7", true, true, findValue},
    {"Find\xA7", true, true, findValueBack},
    {"find_all\xA7", true, true, findAllValues},
    {"Find_all\xA7", true, true, findAllValuesBack},
    {"find_keys\xA7", true, true, findKey},
    {"Find_keys\xA7", true, true, findKeyBack},
    {"find_all_keys\xA7", true, true, findAllKeys},
    {"Find_all_keys\xA7", true, true, findAllKeysBack},
    {"sort\xA7", true, false, sortValues},
    {"Sort\xA7", true, false, sortValuesDown},
    {"sort_keys\xA7", true, false, sortKeys},
    {"Sort_keys\xA7", true, false, sortKeysDown},
};

const MethodEntry kSetOrderMethods[] = {
    {"find\xA7", true, true, findElement},
    {"Find\xA7", true, true, findElementBack},
    {"find_all\xA7", true, true, findAllElements},
    {"Find_all\xA7", true, true, findAllElementsBack},
    {"sort\xA7", true, false, sortKeys},
    {"Sort\xA7", true, false, sortKeysDown},
};

}  // namespace

void registerTableOrderMethods() {
  registerMethods('h', kHashOrderMethods, std::size(kHashOrderMethods));
  registerMethods('m', kSetOrderMethods, std::size(kSetOrderMethods));
}

}  // namespace kavor
