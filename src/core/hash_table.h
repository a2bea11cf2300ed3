// The table behind `hash` and `set`: 97 buckets whose order is the order programs see,
// and a side index by a full hash of the key that keeps lookups near constant time however
// many entries a bucket holds.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/object.h"

namespace kavor {

// One entry of a hash table: the key and, for `hash`, the associated value. A table keeps its
// entries in chunks of its own, where they never move, so the bucket chains and the side
// index hold them by address; an entry built apart is handed over by value.
struct HashEntry {
  std::unique_ptr<Object> key;    // never null
  std::unique_ptr<Object> value;  // null for `set` entries
  HashEntry* previous = nullptr;  // neighbours within the bucket, in insertion order; `next`
  HashEntry* next = nullptr;      // also links the unused entries of a table's chunks
  uint64_t hash = 0;              // full hash of the key; equal keys have equal hashes
  int32_t bucket = 0;             // the bucket the key folds to, 0 .. 96
};

// The bucket number and the full hash of a key, computed together in one pass over its
// text form.
struct KeyHash {
  int32_t bucket;
  uint64_t full;
};
KeyHash hashKey(Object& key);

// A new Object holding `source` as a container stores it: an `any` holding a copy of the
// value, or a reference to the same variable when `source` is a reference. Returns the
// refusal of the transfer, if any.
Failure makeStored(Object& source, std::unique_ptr<Object>& made);

// The name hash: bytes XORed alternately into two accumulators, (acc0 + 256 * acc1) % 97.
int nameHash(const std::string& text);

// Payload of `hash` and `set`. Iteration order is bucket order 0 .. 96, then insertion
// order within a bucket, unless a sort has arranged `index`.
class HashTable {
 public:
  static constexpr int kBuckets = 97;

  HashTable() = default;
  ~HashTable();
  HashTable(const HashTable&) = delete;
  HashTable& operator=(const HashTable&) = delete;

  // Number of entries in all buckets.
  int32_t count = 0;
  // Entries in iteration order; built lazily, discarded by every insertion or removal,
  // rearranged by the sorts.
  std::vector<HashEntry*> index;
  bool indexValid = false;
  // Iterations and per-entry methods running over this table; while > 0 its structure must
  // not change.
  int32_t iterationCount = 0;

  HashEntry* find(Object& key);
  HashEntry* find(Object& key, const KeyHash& hash);
  bool contains(Object& key) { return find(key) != nullptr; }
  // Inserts a new entry (key and value built by transfer); the key must not be present.
  // `value` may be null for a set. On a refusal nothing was inserted.
  Failure insert(Object& key, Object* value, int keyKind, int valueKind);
  // Takes the key and value of an entry built apart, whose key is not present; `hash` is the
  // key's hash when the caller knows it already. Returns the table's entry.
  HashEntry* adopt(HashEntry made, const KeyHash* hash = nullptr);
  bool remove(Object& key);
  // Removes an entry of this table and hands its key and value to the caller.
  HashEntry detach(HashEntry* entry);
  // Removes and destroys an entry of this table.
  void erase(HashEntry* entry);
  void clear();
  // Moves every key and value into `out` (for destruction without recursion); the table is
  // left empty.
  void handOverObjects(std::vector<std::unique_ptr<Object>>& out);
  // Entries in iteration order (builds the index when needed).
  const std::vector<HashEntry*>& entries();
  // The first and last entry of a bucket (nullptr when it is empty); walks that must ignore
  // a sorted order (the find family) follow these and the entries' links.
  HashEntry* bucketFirst(int bucket) const { return buckets_ ? buckets_[bucket].first : nullptr; }
  HashEntry* bucketLast(int bucket) const { return buckets_ ? buckets_[bucket].last : nullptr; }
  // Calls `visit` on every entry in bucket order, without building the index.
  template <class Visit>
  void forEachEntry(Visit visit) const {
    if (!buckets_) return;
    for (int b = 0; b < kBuckets; ++b)
      for (HashEntry* entry = buckets_[b].first; entry != nullptr; entry = entry->next) visit(entry);
  }
  // Exchanges the whole contents (not the iteration count) with `other`.
  void swapContents(HashTable& other);

 private:
  struct Bucket {
    HashEntry* first = nullptr;  // owned chain, insertion order
    HashEntry* last = nullptr;
  };
  // One slot of the side index: an entry and its full hash, or empty (entry null).
  struct Slot {
    uint64_t hash = 0;
    HashEntry* entry = nullptr;
  };

  void dropIndex();
  // An unused entry of the chunks (a new chunk when none is left).
  HashEntry* newEntry();
  void indexInsert(HashEntry* entry);
  void indexRemove(HashEntry* entry);
  void growIndex();

  // The entries, in chunks that double in size; an entry is in use while its key is set.
  // Walking the chunks visits entries in memory order, which keeps destroying a large
  // table quick.
  std::vector<std::unique_ptr<HashEntry[]>> chunks_;
  // Entries of the last chunk not yet handed out, and the unused entries given back.
  size_t lastChunkFree_ = 0;
  size_t lastChunkSize_ = 0;
  HashEntry* unused_ = nullptr;
  // The 97 buckets, allocated with the first entry.
  std::unique_ptr<Bucket[]> buckets_;
  // Open addressing with linear probing over a power-of-two number of slots, kept at most
  // three quarters full; every entry of the buckets has exactly one slot.
  std::vector<Slot> slots_;
};

}  // namespace kavor
