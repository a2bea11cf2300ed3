// The rows of `hash` and `set`, which share the hash table: a hash maps keys to values,
// written "[k1->v1,...]"; a set holds keys only, written "{k1,...}".
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
extern constinit const TypeOps kSetOps = tableRow("set", sameSets, writeSet);

}  // namespace kavor
