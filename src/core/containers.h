// The containers behind `list`, `args`, `hash` and `set`.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/object.h"
#include "core/payloads.h"
#include "core/type_table.h"

namespace kavor {

// Payload of `list` and `args`. Elements are individually allocated Objects (an `any`
// holding the value), so references into a list survive insertions. Element i lives at
// slots[head + i]; removing the first element only advances `head`, so a list used as a
// queue costs O(1) per step. Index access is O(1): no cursor is needed for linear scans.
struct ListRecord {
  // Element storage; slots before `head` are empty (moved out) and are reclaimed lazily.
  std::vector<std::unique_ptr<Object>> slots;
  // Index of element 0 in `slots`; head <= slots.size().
  size_t head = 0;
  // Iterations running over this list; while > 0 its structure must not change.
  int32_t iterationCount = 0;

  size_t size() const { return slots.size() - head; }
  bool empty() const { return size() == 0; }
  Object& at(size_t index) const { return *slots[head + index]; }
  // Appends a new element built from `source` by transfer of `kind`; on a refusal of the
  // transfer nothing was appended.
  Failure append(Object& source, int kind);
  Failure prepend(Object& source, int kind);
  Failure insert(size_t index, Object& source, int kind);
  // Takes ownership of an already built element.
  void appendObject(std::unique_ptr<Object> element);
  void insertObject(size_t index, std::unique_ptr<Object> element);
  // Removes and destroys the element at `index`.
  void remove(size_t index);
  // Removes the element at `index` and hands it to the caller.
  std::unique_ptr<Object> take(size_t index);
  void clear();
  // Moves every element into `out` (for destruction without recursion); the list is left
  // empty.
  void handOverObjects(std::vector<std::unique_ptr<Object>>& out);
  // Appends all elements of `other`, which is left empty.
  void appendAll(ListRecord& other);
  // Inserts already built elements, in their order, so that the first stands at `index`.
  void insertObjects(size_t index, std::vector<std::unique_ptr<Object>>& elements);
  // Removes and destroys the elements at `indices` (ascending, distinct, all valid).
  void removeAt(const std::vector<size_t>& indices);
  // Rearranges the elements so that element i is the one that stood at `order[i]`
  // (`order` is a permutation of 0 .. size() - 1). Elements are moved, never copied.
  void permute(const std::vector<size_t>& order);
  // Reverses the order of the elements.
  void reverse();
  // Position of the first element strictly equal to `element` from `start` (searching
  // backwards from the end when `backwards`), or -1.
  long long elementIndex(Object& element, size_t start, bool backwards);
};

// One entry of a hash table: the key and, for `hash`, the associated value.
struct HashEntry {
  std::unique_ptr<Object> key;    // never null
  std::unique_ptr<Object> value;  // null for `set` entries
};

// Payload of `hash` and `set`: 97 fixed buckets, never rehashed. Iteration order is bucket
// order, then insertion order within a bucket.
struct HashTable {
  static constexpr int kBuckets = 97;
  // Allocated on the first insertion; each bucket keeps insertion order.
  std::unique_ptr<std::array<std::vector<HashEntry>, kBuckets>> buckets;
  // Number of entries in all buckets.
  int32_t count = 0;
  // Entries in iteration order; built lazily, discarded by every insertion or removal.
  std::vector<HashEntry*> index;
  bool indexValid = false;
  // Iterations running over this table; while > 0 its structure must not change.
  int32_t iterationCount = 0;

  HashEntry* find(Object& key);
  bool contains(Object& key) { return find(key) != nullptr; }
  // Inserts a new entry (key and value built by transfer); the key must not be present.
  // `value` may be null for a set. On a refusal nothing was inserted.
  Failure insert(Object& key, Object* value, int keyKind, int valueKind);
  bool remove(Object& key);
  void clear();
  // Moves every key and value into `out` (for destruction without recursion); the table is
  // left empty.
  void handOverObjects(std::vector<std::unique_ptr<Object>>& out);
  // Entries in iteration order (builds the index when needed).
  const std::vector<HashEntry*>& entries();
};

// True when `stop` holds for `outer` or for any Object its value holds (elements, keys and
// values, halves, members), walked with an explicit stack because values may nest deeply.
// Indirections are not followed.
template <class Stop>
bool anyWithin(const Object& outer, Stop stop) {
  // Most values hold no other Objects: answer those without the walk.
  if (typeOps(outer.typeCode).visitParts == nullptr) return stop(outer);
  struct Pending final : PartVisitor {
    std::vector<const Object*> objects;
    void visit(Object& part) override { objects.push_back(&part); }
  } pending;
  pending.objects.push_back(&outer);
  while (!pending.objects.empty()) {
    const Object* current = pending.objects.back();
    pending.objects.pop_back();
    if (stop(*current)) return true;
    if (current->value == nullptr || current->isIndirection()) continue;
    const TypeOps& row = typeOps(current->typeCode);
    if (row.visitParts != nullptr) row.visitParts(*current, pending);
  }
  return false;
}

// True when `inner` is `outer` itself or lies inside the value `outer` holds, so that
// replacing `outer`'s value would destroy it.
inline bool liesWithin(const Object& outer, const Object* inner) {
  return anyWithin(outer, [inner](const Object& object) { return &object == inner; });
}

// "Assignment infeasible during iteration": the refusal of changing a value a loop runs over.
std::string refusedDuringIteration();

// True while a `for`/`For` runs over the container value `object` holds (list, args, str,
// hash, set): its structure must not change, nor may it be destroyed or replaced.
bool isBeingIterated(const Object& object);

// Watches the payload a loop runs over. A payload released while the loop runs (its
// Object destroyed or emptied by some path the loop could not prevent) marks the watch
// dead, so the loop stops instead of touching freed memory.
class IterationWatch {
 public:
  explicit IterationWatch(const void* payload);
  ~IterationWatch();
  IterationWatch(const IterationWatch&) = delete;
  IterationWatch& operator=(const IterationWatch&) = delete;
  bool alive() const { return alive_; }
  // Called whenever a container payload is released.
  static void payloadReleased(const void* payload);

 private:
  const void* payload_;  // the watched payload; never dereferenced here
  bool alive_ = true;    // false once the payload was released
};

// The bucket of a key: a reference by its target's identity, anything else by the name hash
// of its text form.
int hashBucket(Object& key);
// The name hash: bytes XORed alternately into two accumulators, (acc0 + 256 * acc1) % 97.
int nameHash(const std::string& text);

}  // namespace kavor
