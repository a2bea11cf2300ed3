// The rows of `hash` and `set`, which share the hash table: a hash maps keys to values,
// written "[k1->v1,...]"; a set holds keys only, written "{k1,...}".
#include <algorithm>
#include <compare>

#include "core/containers.h"
#include "core/type_table.h"

namespace kavor {

namespace {

void createTable(Object& object) { object.value = new HashTable(); }

void releaseTable(Object& object) {
  IterationWatch::payloadReleased(object.value);
  destroyContainer(static_cast<HashTable*>(object.value));
}

// The copy is built apart first: a source entry may lie inside the target's old value.
void copyTable(Object& target, const Object& source) {
  HashTable& from = source.asHash();
  auto copy = std::make_unique<HashTable>();
  // Each key and value becomes a fresh any that nothing points at, which takes every value
  // and mirrors every indirection, so no insertion is refused.
  for (HashEntry* entry : from.entries())
    (void)copy->insert(*entry->key, entry->value.get(), Transfer::SameOrCopy, Transfer::SameOrCopy);
  HashTable& into = target.asHash();
  into.clear();
  std::swap(into.buckets, copy->buckets);
  std::swap(into.count, copy->count);
  into.indexValid = false;
}

// Both tables hold the same keys; for a hash, equal keys also hold equal values.
bool sameTables(Object& a, Object& b, PartComparison& parts, bool compareValues) {
  HashTable& left = a.asHash();
  HashTable& right = b.asHash();
  if (left.count != right.count) return false;
  for (HashEntry* entry : left.entries()) {
    HashEntry* other = right.find(*entry->key);
    if (other == nullptr) return false;
    if (compareValues && entry->value && other->value && !parts.same(*entry->value, *other->value, false))
      return false;
  }
  return true;
}

bool isEmptyTable(const Object& object) { return object.asHash().count == 0; }

void visitEntries(const Object& object, PartVisitor& visit) {
  for (HashEntry* entry : object.asHash().entries()) {
    visit.visit(*entry->key);
    if (entry->value) visit.visit(*entry->value);
  }
}

int32_t tableLoops(const Object& object) { return object.asHash().iterationCount; }

bool sameHashes(Object& a, Object& b, PartComparison& parts) { return sameTables(a, b, parts, true); }
bool sameSets(Object& a, Object& b, PartComparison& parts) { return sameTables(a, b, parts, false); }

void writeHash(const Object& object, std::string&, TextParts& parts) {
  const std::vector<HashEntry*>& entries = object.asHash().entries();
  parts.text("[");
  for (size_t i = 0; i < entries.size(); ++i) {
    if (i > 0) parts.text(",");
    parts.part(*entries[i]->key);
    parts.text("->");
    if (entries[i]->value) parts.part(*entries[i]->value);
  }
  parts.text("]");
}

void writeSet(const Object& object, std::string&, TextParts& parts) {
  const std::vector<HashEntry*>& entries = object.asHash().entries();
  parts.text("{");
  for (size_t i = 0; i < entries.size(); ++i) {
    if (i > 0) parts.text(",");
    parts.part(*entries[i]->key);
  }
  parts.text("}");
}

// Removes every key of `set` for which `drop` holds, bucket by bucket (entries of one
// bucket move when one of them is erased, so the index of the table cannot be used).
template <class Drop>
void removeKeys(HashTable& set, Drop drop) {
  if (!set.buckets) return;
  for (auto& bucket : *set.buckets) {
    size_t before = bucket.size();
    std::erase_if(bucket, [&](HashEntry& entry) { return drop(*entry.key); });
    set.count -= static_cast<int32_t>(before - bucket.size());
  }
  set.indexValid = false;
  set.index.clear();
}

// Union ("+="), difference ("-=") and intersection ("*=") of sets.
Failure combineSets(char op, Object& targetObject, Object& sourceObject) {
  HashTable& target = targetObject.asHash();
  HashTable& source = sourceObject.asHash();
  if (target.iterationCount > 0) return refusedDuringIteration();
  if (&target == &source) {
    if (op == '-') target.clear();
    return Failure::none();
  }
  switch (op) {
    case '+':
      for (HashEntry* entry : source.entries()) {
        if (target.contains(*entry->key)) continue;
        if (Failure failure = target.insert(*entry->key, nullptr, Transfer::ReferenceOrCopy, Transfer::Copy))
          return failure;
      }
      return Failure::none();
    case '-': removeKeys(target, [&](Object& key) { return source.contains(key); }); return Failure::none();
    default: removeKeys(target, [&](Object& key) { return !source.contains(key); }); return Failure::none();
  }
}

// All keys of `part` are keys of `whole`.
bool containsAll(HashTable& whole, HashTable& part) {
  if (part.count > whole.count) return false;
  for (HashEntry* entry : part.entries())
    if (!whole.contains(*entry->key)) return false;
  return true;
}

// Sets are ordered by inclusion: a proper subset is less; two sets of which neither holds
// the other are unordered, so every order comparison of them is false.
std::partial_ordering orderSets(Object& left, Object& right) {
  HashTable& a = left.asHash();
  HashTable& b = right.asHash();
  if (a.count == b.count) return containsAll(b, a) ? std::partial_ordering::equivalent : std::partial_ordering::unordered;
  if (a.count < b.count) return containsAll(b, a) ? std::partial_ordering::less : std::partial_ordering::unordered;
  return containsAll(a, b) ? std::partial_ordering::greater : std::partial_ordering::unordered;
}

constexpr TypeOps tableRow(const char* name, bool (*equals)(Object&, Object&, PartComparison&),
                           void (*writeText)(const Object&, std::string&, TextParts&)) {
  return {
      .name = name,
      .create = createTable,
      .release = releaseTable,
      .copy = copyTable,
      .equals = equals,
      .isEmpty = isEmptyTable,
      .makeEmpty = renewPayload,
      .visitParts = visitEntries,
      .loopsRunning = tableLoops,
      .writeText = writeText,
      .readText = nullptr,
  };
}

}  // namespace

extern constinit const TypeOps kHashOps = tableRow("hash", sameHashes, writeHash);
extern constinit const TypeOps kSetOps = [] {
  TypeOps row = tableRow("set", sameSets, writeSet);
  row.compoundOperators = "+-*";
  row.acceptsOperand = [](TypeCode source) { return source == 'm'; };
  row.compound = combineSets;
  row.order = orderSets;
  return row;
}();

}  // namespace kavor
