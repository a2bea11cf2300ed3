// The methods of `set` that read and change its elements: the set built from values, size,
// def, args, ins and del. A set holds each value once: inserting a value it holds, or
// deleting one it lacks, leaves it as it is.
#include <algorithm>
#include <vector>

#include "core/messages.h"
#include "core/values.h"
#include "exec/calls.h"
#include "types/table_common.h"

namespace kavor {

namespace {

// Inserts the arguments that are not yet elements; the new elements are built apart first,
// so that a refused one inserts none.
void insertValues(const MethodCall& call, HashTable& set) {
  HashTable staged;
  for (Result& argument : call.args) {
    Object& value = *argument.object;
    KeyHash hash = hashKey(value);
    if (set.find(value, hash) != nullptr || staged.find(value, hash) != nullptr) continue;
    HashEntry entry;
    call.require(makeStored(value, entry.key));
    staged.adopt(std::move(entry), &hash);
  }
  if (staged.count == 0) return;
  // Taken over in argument order, so that each bucket keeps the order of insertion.
  for (Result& argument : call.args) {
    HashEntry* entry = staged.find(*argument.object);
    if (entry == nullptr) continue;
    KeyHash hash{entry->bucket, entry->hash};
    set.adopt(staged.detach(entry), &hash);
  }
}

// `set(1, 2, 3)`: a new set of the distinct values.
void setFromValues(MethodCall& call) {
  auto made = std::make_unique<Object>('m');
  insertValues(call, made->asHash());
  call.out().pushOwned(std::move(made), Access::ConstResult);
}

void insert(MethodCall& call) {
  HashTable& set = changeableTable(call, true);
  call.require(checkCountRange(call.args, 1, -1));
  insertValues(call, set);
}

void remove(MethodCall& call) {
  HashTable& set = changeableTable(call, true);
  call.require(checkCountRange(call.args, 1, -1));
  std::vector<HashEntry*> doomed;
  for (Result& argument : call.args) {
    HashEntry* entry = set.find(*argument.object);
    if (entry == nullptr || std::find(doomed.begin(), doomed.end(), entry) != doomed.end()) continue;
    requireReleasable(call, *entry->key);
    doomed.push_back(entry);
  }
  for (HashEntry* entry : doomed) set.erase(entry);
}

// The elements in iteration order, as copies: changing an element in place would leave it
// in the wrong bucket.
void elements(MethodCall& call) {
  for (HashEntry* entry : definedTable(call).entries()) pushCopy(call, *entry->key);
}

const MethodEntry kSetMethods[] = {
    {"\xA7", true, true, setFromValues},
    {"\xA7", true, false, insert},
    {"ins\xA7", true, false, insert},
    {"del\xA7", true, false, remove},
    {"size\xA7\xA7", false, true, tableSize},
    {"def\xA7", true, true, tableDefines},
    {"args\xA7\xA7", false, true, elements},
};

}  // namespace

void registerSetMethods() { registerMethods('m', kSetMethods, std::size(kSetMethods)); }

}  // namespace kavor
