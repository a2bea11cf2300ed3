// List records and the watches over containers being iterated.
#include "core/containers.h"

#include "core/messages.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "core/text_output.h"

namespace kavor {

Failure ListRecord::append(Object& source, int kind) {
  auto element = std::make_unique<Object>();
  if (Failure failure = element->constructByTransfer(source, kind)) return failure;
  appendObject(std::move(element));
  return Failure::none();
}

Failure ListRecord::prepend(Object& source, int kind) { return insert(0, source, kind); }

Failure ListRecord::insert(size_t index, Object& source, int kind) {
  auto element = std::make_unique<Object>();
  if (Failure failure = element->constructByTransfer(source, kind)) return failure;
  insertObject(index, std::move(element));
  return Failure::none();
}

void ListRecord::appendObject(std::unique_ptr<Object> element) { slots.push_back(std::move(element)); }

void ListRecord::insertObject(size_t index, std::unique_ptr<Object> element) {
  if (index == 0 && head == 0 && size() >= kFrontGapFrom) {
    // Insertion at the front keeps coming: open a gap there, half as large as the list, so
    // that a list built from the front costs linear time, as one built from the back does.
    // Removal from the front reclaims the gap only once it has grown past half the slots.
    size_t gap = size() / 2;
    std::vector<std::unique_ptr<Object>> grown(gap + slots.size());
    std::move(slots.begin(), slots.end(), grown.begin() + static_cast<std::ptrdiff_t>(gap));
    slots = std::move(grown);
    head = gap;
  }
  if (index == 0 && head > 0) {
    slots[--head] = std::move(element);
    return;
  }
  slots.insert(slots.begin() + static_cast<std::ptrdiff_t>(head + index), std::move(element));
}

std::unique_ptr<Object> ListRecord::take(size_t index) {
  std::unique_ptr<Object> element;
  if (index == 0) {
    element = std::move(slots[head++]);
    // Reclaim the consumed front once it dominates, keeping removal amortised O(1).
    if (head > 32 && head * 2 > slots.size()) {
      slots.erase(slots.begin(), slots.begin() + static_cast<std::ptrdiff_t>(head));
      head = 0;
    }
    return element;
  }
  auto at = slots.begin() + static_cast<std::ptrdiff_t>(head + index);
  element = std::move(*at);
  slots.erase(at);
  return element;
}

void ListRecord::remove(size_t index) { take(index); }

void ListRecord::clear() {
  // Elements are destroyed last to first, like a stack of owned nodes.
  while (slots.size() > head) slots.pop_back();
  slots.clear();
  head = 0;
}

void ListRecord::handOverObjects(std::vector<std::unique_ptr<Object>>& out) {
  if (out.empty()) {
    // The slots themselves are handed over (the empty ones before `head` are skipped by the
    // destruction): a copy of a million pointers would raise the peak memory of every big
    // list just when it is freed.
    out.swap(slots);
    slots.clear();
    head = 0;
    return;
  }
  for (size_t i = head; i < slots.size(); ++i)
    if (slots[i]) out.push_back(std::move(slots[i]));
  slots.clear();
  head = 0;
}

void ListRecord::appendAll(ListRecord& other) {
  for (size_t i = 0; i < other.size(); ++i) slots.push_back(std::move(other.slots[other.head + i]));
  other.slots.clear();
  other.head = 0;
}

void ListRecord::insertObjects(size_t index, std::vector<std::unique_ptr<Object>>& elements) {
  auto at = slots.begin() + static_cast<std::ptrdiff_t>(head + index);
  slots.insert(at, std::make_move_iterator(elements.begin()), std::make_move_iterator(elements.end()));
  elements.clear();
}

void ListRecord::removeAt(const std::vector<size_t>& indices) {
  // One compacting pass instead of one erase per index.
  size_t next = 0;
  size_t kept = head;
  for (size_t i = head; i < slots.size(); ++i) {
    if (next < indices.size() && indices[next] == i - head) {
      ++next;
      slots[i].reset();
      continue;
    }
    if (kept != i) slots[kept] = std::move(slots[i]);
    ++kept;
  }
  slots.resize(kept);
}

void ListRecord::permute(const std::vector<size_t>& order) {
  std::vector<std::unique_ptr<Object>> arranged;
  arranged.reserve(order.size());
  for (size_t from : order) arranged.push_back(std::move(slots[head + from]));
  slots = std::move(arranged);
  head = 0;
}

void ListRecord::reverse() { std::reverse(slots.begin() + static_cast<std::ptrdiff_t>(head), slots.end()); }

long long ListRecord::elementIndex(Object& element, size_t start, bool backwards) {
  size_t count = size();
  if (!backwards) {
    for (size_t i = start; i < count; ++i)
      if (equals(at(i), element, true)) return static_cast<long long>(i);
    return -1;
  }
  for (size_t i = count; i-- > start;)
    if (equals(at(i), element, true)) return static_cast<long long>(i);
  return -1;
}

namespace {
// The watches of the loops running now, innermost last; empty almost always.
std::vector<IterationWatch*>& activeWatches() {
  static std::vector<IterationWatch*> watches;
  return watches;
}
}  // namespace

IterationWatch::IterationWatch(const void* payload) : payload_(payload) { activeWatches().push_back(this); }

IterationWatch::~IterationWatch() {
  auto& watches = activeWatches();
  for (size_t i = watches.size(); i-- > 0;) {
    if (watches[i] != this) continue;
    watches.erase(watches.begin() + static_cast<std::ptrdiff_t>(i));
    break;
  }
}

void IterationWatch::payloadReleased(const void* payload) {
  for (IterationWatch* watch : activeWatches())
    if (watch->payload_ == payload) watch->alive_ = false;
}

bool IterationWatch::anyRunning() { return !activeWatches().empty(); }

std::string refusedDuringIteration() { return std::string(message("zuw")) + " " + message("unzwaeite"); }

bool isBeingIterated(const Object& object) {
  if (object.value == nullptr || object.isIndirection()) return false;
  int32_t (*loopsRunning)(const Object&) = typeOps(object.typeCode).loopsRunning;
  return loopsRunning != nullptr && loopsRunning(object) > 0;
}

bool holdsIteratedValue(const Object& object) {
  if (isBeingIterated(object)) return true;
  if (!IterationWatch::anyRunning() || object.isIndirection()) return false;
  return anyWithin(object, isBeingIterated);
}

}  // namespace kavor
