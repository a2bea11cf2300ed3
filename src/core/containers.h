// The containers behind `list`, `args`, `hash`, `set`, `array` and `array2`.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/hash_table.h"
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
  // Lists this long or longer open a gap before their first element when one is inserted
  // there; shorter ones just shift.
  static constexpr size_t kFrontGapFrom = 16;
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

// Payload of `array` and `array2`: a fixed number of slots, each without a value (null, or
// an element Object that is undefined) or owning one element Object (an `any` holding the
// value). An array2 lays its rows out one after the other.
struct ArrayRecord {
  // The slots; slots.size() is the size (rows x columns for an array2), 0 while empty.
  std::vector<std::unique_ptr<Object>> slots;
  // Number of columns of an array2 (slots.size() is a multiple of it); 0 for an array and
  // for an empty array2.
  int32_t columns = 0;
  // Iterations and per-element methods running over the array; while > 0 its structure
  // (size, which slots are defined) must not change.
  int32_t iterationCount = 0;

  void handOverObjects(std::vector<std::unique_ptr<Object>>& out) {
    for (auto& slot : slots)
      if (slot) out.push_back(std::move(slot));
    slots.clear();
  }
  // Slot `at` holds a value.
  bool holds(size_t at) const { return slots[at] && slots[at]->isDefined(); }
};
inline ArrayRecord& arrayOf(const Object& object) { return *static_cast<ArrayRecord*>(object.value); }

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

// True when a loop runs over `object`'s value or over a value it holds at any depth: then
// the value may be neither destroyed, replaced nor moved away, or the loop would lose what
// it runs over. Constant time while no loop runs; otherwise a walk over the value, which
// only operations that release or move all of it make.
bool holdsIteratedValue(const Object& object);

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
  // Called when a container payload is released while its iteration count is raised: only
  // then can a watch be looking at it, so other releases cost nothing.
  static void payloadReleased(const void* payload);
  // Some loop or per-element method runs now.
  static bool anyRunning();

 private:
  const void* payload_;  // the watched payload; never dereferenced here
  bool alive_ = true;    // false once the payload was released
};


}  // namespace kavor
