// The rows of `hash` and `set`, which share the hash table: a hash maps keys to values,
// written "[k1->v1,...]"; a set holds keys only, written "{k1,...}".
#include <algorithm>
#include <compare>
#include <optional>
#include <unordered_map>

#include "core/binary_form.h"
#include "core/containers.h"
#include "core/type_table.h"
#include "exec/iteration.h"

namespace kavor {

namespace {

void createTable(Object& object) { object.value = new HashTable(); }

void releaseTable(Object& object) {
  if (static_cast<HashTable*>(object.value)->iterationCount > 0) IterationWatch::payloadReleased(object.value);
  destroyContainer(static_cast<HashTable*>(object.value));
}

// The copy is built apart first: a source entry may lie inside the target's old value. It
// keeps the source's bucket order and, when the source was sorted, its sorted order.
void copyTable(Object& target, const Object& source) {
  HashTable& from = source.asHash();
  HashTable copy;
  std::unordered_map<const HashEntry*, HashEntry*> copies;
  for (int b = 0; b < HashTable::kBuckets; ++b) {
    for (HashEntry* entry = from.bucketFirst(b); entry != nullptr; entry = entry->next) {
      HashEntry made;
      // Each key and value becomes a fresh any that nothing points at, which takes every
      // value and mirrors every indirection, so no transfer is refused; the key keeps its
      // hash, since a copy has the same text form and a mirrored reference the same target.
      made.key = std::make_unique<Object>();
      (void)made.key->constructByTransfer(*entry->key, Transfer::SameOrCopy);
      if (entry->value) {
        made.value = std::make_unique<Object>();
        (void)made.value->constructByTransfer(*entry->value, Transfer::SameOrCopy);
      }
      KeyHash hash{entry->bucket, entry->hash};
      HashEntry* adopted = copy.adopt(std::move(made), &hash);
      if (from.indexValid) copies.emplace(entry, adopted);
    }
  }
  if (from.indexValid) {
    copy.index.clear();
    for (const HashEntry* entry : from.index) copy.index.push_back(copies.at(entry));
    copy.indexValid = true;
  }
  target.asHash().swapContents(copy);
  // The old contents, now in `copy`, go the way of every released value.
  std::vector<std::unique_ptr<Object>> taken;
  copy.handOverObjects(taken);
  destroyTakenObjects(taken);
}

// Both tables hold the same keys; for a hash, equal keys also hold equal values.
bool sameTables(Object& a, Object& b, PartComparison& parts, bool compareValues) {
  HashTable& left = a.asHash();
  HashTable& right = b.asHash();
  if (left.count != right.count) return false;
  bool same = true;
  left.forEachEntry([&](HashEntry* entry) {
    if (!same) return;
    HashEntry* other = right.find(*entry->key, KeyHash{entry->bucket, entry->hash});
    if (other == nullptr) {
      same = false;
    } else if (compareValues) {
      // A value inserted by "[]" and never assigned is undefined on both sides or on one.
      if (!entry->value || !other->value || !parts.same(*entry->value, *other->value, false)) same = false;
    }
  });
  return same;
}

bool isEmptyTable(const Object& object) { return object.asHash().count == 0; }

void visitEntries(const Object& object, PartVisitor& visit) {
  object.asHash().forEachEntry([&](HashEntry* entry) {
    visit.visit(*entry->key);
    if (entry->value) visit.visit(*entry->value);
  });
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

// Binary items: "h", the entry count, "h", then key and value of each entry; "m", the key
// count, "m", then the keys. Entries go in bucket order, which reading keeps, since equal
// keys fall into equal buckets and a bucket keeps the order of insertion.
template <TypeCode Own>
void writeBinaryTable(const Object& object, std::string& out, TextParts& parts) {
  HashTable& table = object.asHash();
  out += Own + std::to_string(table.count) + Own;
  table.forEachEntry([&](HashEntry* entry) {
    parts.part(*entry->key);
    if (Own == 'h') {
      if (entry->value) parts.part(*entry->value);
      else parts.text("v");
    }
  });
}

// Collects the entries; they go into the table once their keys are whole, since a key is
// hashed by its value.
class EntrySink final : public BinaryPartSink {
 public:
  EntrySink(HashTable& table, int64_t count, bool withValues)
      : table_(table), remaining_(count), withValues_(withValues) {}
  Object* nextPart() override {
    if (withValues_ && !entries_.empty() && !entries_.back().value) {
      entries_.back().value = std::make_unique<Object>();
      return entries_.back().value.get();
    }
    if (remaining_ == 0) return nullptr;
    --remaining_;
    entries_.emplace_back();
    entries_.back().key = std::make_unique<Object>();
    return entries_.back().key.get();
  }
  bool complete() override {
    for (HashEntry& entry : entries_) {
      if (table_.contains(*entry.key)) return false;
      table_.adopt(std::move(entry));
    }
    entries_.clear();
    return true;
  }

 private:
  HashTable& table_;
  int64_t remaining_;                // entries still to come
  bool withValues_;                  // a hash; a set has keys only
  std::vector<HashEntry> entries_;   // read so far, not yet in the table
};

template <TypeCode Own>
bool readBinaryTable(BinaryInput& in, char, Object& target) {
  int64_t count;
  if (!in.number(count, Own)) return false;
  in.expectParts(std::make_unique<EntrySink>(target.asHash(), count, Own == 'h'));
  return true;
}

// Removes every key of `set` for which `drop` holds.
template <class Drop>
void removeKeys(HashTable& set, Drop drop) {
  std::vector<HashEntry*> doomed;
  for (HashEntry* entry : set.entries())
    if (drop(*entry->key)) doomed.push_back(entry);
  for (HashEntry* entry : doomed) set.erase(entry);
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
    case '+': {
      // The new keys are built first, so that a refused one adds none.
      std::vector<HashEntry> added;
      for (HashEntry* entry : source.entries()) {
        if (target.contains(*entry->key)) continue;
        HashEntry made;
        made.key = std::make_unique<Object>();
        if (Failure failure = made.key->constructByTransfer(*entry->key, Transfer::ReferenceOrCopy)) return failure;
        added.push_back(std::move(made));
      }
      for (auto& made : added) target.adopt(std::move(made));
      return Failure::none();
    }
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

// `h.for(k, v, {...})` and `m.for(k, {...})`: each entry in the iteration order, the key as
// a constant (it decides the bucket), the value as the container allows.
void loopOverEntries(ElementLoop& loop) {
  HashTable& table = loop.object.asHash();
  IterationGuard guard(&table, table.iterationCount);
  LoopVariable key(loop.variable(0), true);
  std::optional<LoopVariable> value;
  if (loop.variableCount() == 2) value.emplace(loop.variable(1), loop.constant);
  const std::vector<HashEntry*> entries = table.entries();
  for (size_t step = 0; guard.alive() && step < entries.size(); ++step) {
    HashEntry* entry = entries[loop.backwards ? entries.size() - 1 - step : step];
    loop.check.require(transfer(*key, *entry->key, Transfer::CallAlias));
    if (value) loop.check.require(transfer(**value, *entry->value, Transfer::CallAlias));
    if (loop.runBody()) break;
  }
}

template <TypeCode Own>
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
      .elementLoop = loopOverEntries,
      // A hash gives its values too; a set has keys only.
      .loopVariablesMost = Own == 'h' ? 2 : 1,
      .writeBinary = writeBinaryTable<Own>,
      .readBinary = readBinaryTable<Own>,
  };
}

}  // namespace

extern constinit const TypeOps kHashOps = tableRow<'h'>("hash", sameHashes, writeHash);
extern constinit const TypeOps kSetOps = [] {
  TypeOps row = tableRow<'m'>("set", sameSets, writeSet);
  row.compoundOperators = "+-*";
  row.acceptsOperand = [](TypeCode source) { return source == 'm'; };
  row.compound = combineSets;
  row.order = orderSets;
  return row;
}();

}  // namespace kavor
