// The methods of `hash` that read and change entries: the hash built from pairs, size, def,
// get, [], keys, args, ins, set and del. Every method that fails leaves the hash as it was:
// keys are looked up and new entries built before the hash changes.
#include <algorithm>
#include <vector>

#include "core/messages.h"
#include "core/values.h"
#include "exec/calls.h"
#include "types/table_common.h"

namespace kavor {

namespace {

// The entries of the key arguments, in argument order; an absent key, or one given twice,
// fails with "Key '%s' not defined" (after the first, it is gone).
std::vector<HashEntry*> entriesOf(const MethodCall& call, HashTable& table) {
  call.require(checkCountRange(call.args, 1, -1));
  std::vector<HashEntry*> found;
  found.reserve(call.args.size());
  for (Result& argument : call.args) {
    HashEntry* entry = table.find(*argument.object);
    bool repeated = std::find(found.begin(), found.end(), entry) != found.end();
    if (entry == nullptr || repeated) call.fail(fillKey("keynicdef", {keyText(*argument.object)}));
    found.push_back(entry);
  }
  return found;
}

// Inserts the pairs (key, value) of the arguments; "Keys multiply defined" when a key is
// present already or given twice. All entries are built apart first.
// Builds the entry of the pair at argument `at`.
HashEntry buildEntry(const MethodCall& call, size_t at) {
  HashEntry entry;
  call.require(makeStored(*call.args[at].object, entry.key));
  call.require(makeStored(*call.args[at + 1].object, entry.value));
  return entry;
}

void insertPairs(const MethodCall& call, HashTable& table) {
  if (call.args.size() % 2 != 0) call.fail(message("anzargger"));
  if (call.args.size() == 2) {
    // One pair, the common case, needs no staging.
    KeyHash hash = hashKey(*call.args[0].object);
    if (table.find(*call.args[0].object, hash) != nullptr) call.fail(message("schmehdef"));
    table.adopt(buildEntry(call, 0), &hash);
    return;
  }
  HashTable staged;
  for (size_t i = 0; i < call.args.size(); i += 2) {
    Object& key = *call.args[i].object;
    KeyHash hash = hashKey(key);
    if (table.find(key, hash) != nullptr || staged.find(key, hash) != nullptr) call.fail(message("schmehdef"));
    staged.adopt(buildEntry(call, i), &hash);
  }
  // Taken over in argument order, so that each bucket keeps the order of insertion.
  std::vector<HashEntry*> order;
  order.reserve(call.args.size() / 2);
  for (size_t i = 0; i < call.args.size(); i += 2) order.push_back(staged.find(*call.args[i].object));
  for (HashEntry* entry : order) {
    KeyHash hash{entry->bucket, entry->hash};
    table.adopt(staged.detach(entry), &hash);
  }
}

// `hash("a", 1, "b", 2)`: a new hash of the pairs.
void hashFromPairs(MethodCall& call) {
  auto made = std::make_unique<Object>('h');
  insertPairs(call, made->asHash());
  call.out().pushOwned(std::move(made), Access::ConstResult);
}

void insert(MethodCall& call) { insertPairs(call, changeableTable(call, true)); }

void get(MethodCall& call) {
  HashTable& table = definedTable(call);
  call.require(checkCountRange(call.args, 1, -1));
  // A failing key drops the results pushed before it with the call; nothing changes.
  for (Result& argument : call.args) {
    HashEntry* entry = table.find(*argument.object);
    if (entry == nullptr) call.fail(fillKey("keynicdef", {keyText(*argument.object)}));
    pushPlace(call, *entry->value);
  }
}

// `h[k]`: the value under each key as a place, so that `h["k"] = v` inserts or replaces. A
// key that is absent is inserted first with an undefined value, which needs a hash that may
// change; reading present keys works on a constant hash too.
void subscript(MethodCall& call) {
  HashTable& table = definedTable(call);
  call.require(checkCountRange(call.args, 1, -1));
  std::vector<HashEntry*> found;
  found.reserve(call.args.size());
  for (Result& argument : call.args) {
    Object& key = *argument.object;
    KeyHash hash = hashKey(key);
    HashEntry* entry = table.find(key, hash);
    if (entry == nullptr) {
      changeableTable(call, true);
      HashEntry made;
      call.require(makeStored(key, made.key));
      made.value = std::make_unique<Object>();
      entry = table.adopt(std::move(made), &hash);
    }
    found.push_back(entry);
  }
  for (HashEntry* entry : found) pushPlace(call, *entry->value);
}

void keys(MethodCall& call) {
  for (HashEntry* entry : definedTable(call).entries()) pushCopy(call, *entry->key);
}

void values(MethodCall& call) {
  for (HashEntry* entry : definedTable(call).entries()) pushPlace(call, *entry->value);
}

// Pairs (key, value): each key must be present; its value is replaced in place, so the
// iteration order, a sorted one too, stays.
void setPairs(MethodCall& call) {
  HashTable& table = changeableTable(call, false);
  if (call.args.empty() || call.args.size() % 2 != 0) call.fail(message("anzargposger"));
  std::vector<Object*> targets;
  targets.reserve(call.args.size() / 2);
  for (size_t i = 0; i < call.args.size(); i += 2) {
    HashEntry* entry = table.find(*call.args[i].object);
    if (entry == nullptr) call.fail(message("schnicdef"));
    requireReleasable(call, *entry->value);
    targets.push_back(entry->value.get());
  }
  std::vector<std::unique_ptr<Object>> staged = buildElements(call, 1, 2);
  storeValues(call, targets, staged);
}

void remove(MethodCall& call) {
  HashTable& table = changeableTable(call, true);
  std::vector<HashEntry*> doomed = entriesOf(call, table);
  for (HashEntry* entry : doomed) {
    requireReleasable(call, *entry->key);
    requireReleasable(call, *entry->value);
  }
  for (HashEntry* entry : doomed) table.erase(entry);
}

const MethodEntry kHashMethods[] = {
    {"\xA7", true, true, hashFromPairs},
    {"\xA7", true, false, insert},
    {"ins\xA7", true, false, insert},
    {"size\xA7\xA7", false, true, tableSize},
    {"def\xA7", true, true, tableDefines},
    {"get\xA7", true, true, get},
    {"[]\xA7", true, true, subscript},
    {"keys\xA7\xA7", false, true, keys},
    {"args\xA7\xA7", false, true, values},
    {"set\xA7", true, false, setPairs},
    {"del\xA7", true, false, remove},
};

}  // namespace

void registerHashMethods() { registerMethods('h', kHashMethods, std::size(kHashMethods)); }

}  // namespace kavor
