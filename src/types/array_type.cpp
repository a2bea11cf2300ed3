// The rows of `array` and `array2`, which share the array record: an array is written
// "[0->a,2->c]" and an array2 "[(0,1)->a]", listing only the slots that hold a value.
#include <optional>

#include "core/binary_form.h"
#include "core/containers.h"
#include "core/type_table.h"
#include "exec/iteration.h"

namespace kavor {

namespace {

void createArray(Object& object) { object.value = new ArrayRecord(); }

void releaseArray(Object& object) {
  if (static_cast<ArrayRecord*>(object.value)->iterationCount > 0) IterationWatch::payloadReleased(object.value);
  destroyContainer(static_cast<ArrayRecord*>(object.value));
}

// The copy is built apart first: a source element may lie inside the target's old value.
void copyArray(Object& target, const Object& source) {
  ArrayRecord& from = arrayOf(source);
  std::vector<std::unique_ptr<Object>> slots(from.slots.size());
  for (size_t i = 0; i < slots.size(); ++i) {
    if (!from.holds(i)) continue;
    slots[i] = std::make_unique<Object>();
    // A fresh any that nothing points at takes every value and mirrors every indirection.
    (void)slots[i]->constructByTransfer(*from.slots[i], Transfer::SameOrCopy);
  }
  ArrayRecord& into = arrayOf(target);
  std::vector<std::unique_ptr<Object>> taken;
  into.handOverObjects(taken);
  into.slots = std::move(slots);
  into.columns = from.columns;
  destroyTakenObjects(taken);
}

// Same shape, and every slot either without a value in both or holding equal values.
bool sameArrays(Object& a, Object& b, PartComparison& parts) {
  ArrayRecord& left = arrayOf(a);
  ArrayRecord& right = arrayOf(b);
  if (left.slots.size() != right.slots.size() || left.columns != right.columns) return false;
  for (size_t i = 0; i < left.slots.size(); ++i) {
    if (left.holds(i) != right.holds(i)) return false;
    if (left.holds(i) && !parts.same(*left.slots[i], *right.slots[i], false)) return false;
  }
  return true;
}

bool isEmptyArray(const Object& object) { return arrayOf(object).slots.empty(); }

void visitSlots(const Object& object, PartVisitor& visit) {
  for (auto& slot : arrayOf(object).slots)
    if (slot) visit.visit(*slot);
}

int32_t arrayLoops(const Object& object) { return arrayOf(object).iterationCount; }

void writeArray(const Object& object, std::string&, TextParts& parts) {
  ArrayRecord& array = arrayOf(object);
  parts.text("[");
  bool first = true;
  for (size_t i = 0; i < array.slots.size(); ++i) {
    if (!array.holds(i)) continue;
    if (!first) parts.text(",");
    first = false;
    if (array.columns > 0) {
      auto columns = static_cast<size_t>(array.columns);
      parts.text("(");
      parts.number(static_cast<long long>(i / columns));
      parts.text(",");
      parts.number(static_cast<long long>(i % columns));
      parts.text(")");
    } else {
      parts.number(static_cast<long long>(i));
    }
    parts.text("->");
    parts.part(*array.slots[i]);
  }
  parts.text("]");
}

// Binary items: "a", the size, "a" for an array, "z", rows, "z", columns, "z" for an
// array2, then every slot in storage order, "v" for one without value.
template <TypeCode Own>
void writeBinaryArray(const Object& object, std::string& out, TextParts& parts) {
  ArrayRecord& array = arrayOf(object);
  if (Own == 'a') {
    out += 'a' + std::to_string(array.slots.size()) + 'a';
  } else {
    size_t rows = array.columns > 0 ? array.slots.size() / static_cast<size_t>(array.columns) : 0;
    out += 'z' + std::to_string(rows) + 'z' + std::to_string(array.columns) + 'z';
  }
  for (auto& slot : array.slots) {
    if (slot) parts.part(*slot);
    else parts.text("v");
  }
}

// Fills the slots in storage order; a slot read as nothing stays without element.
class SlotSink final : public CountedPartSink {
 public:
  SlotSink(ArrayRecord& array, int64_t count) : CountedPartSink(count), array_(array) {}
  void nothingRead() override { array_.slots.back().reset(); }

 private:
  Object& add() override { return *array_.slots.emplace_back(std::make_unique<Object>()); }
  ArrayRecord& array_;
};

template <TypeCode Own>
bool readBinaryArray(BinaryInput& in, char, Object& target) {
  int64_t size;
  if (!in.number(size, Own)) return false;
  if (Own == 'z') {
    int64_t columns;
    if (!in.number(columns, 'z') || (size == 0) != (columns == 0) || columns > INT32_MAX) return false;
    if (__builtin_mul_overflow(size, columns, &size)) return false;
    arrayOf(target).columns = static_cast<int32_t>(columns);
  }
  in.expectParts(std::make_unique<SlotSink>(arrayOf(target), size));
  return true;
}

// `a.for(i, v, {...})` and `z.for(r, c, v, {...})`: each slot that holds a value, its
// position into the index variables, the value, when asked for, as the array allows.
void loopOverSlots(ElementLoop& loop) {
  ArrayRecord& array = arrayOf(loop.object);
  IterationGuard guard(&array, array.iterationCount);
  bool twoIndices = loop.object.base() == 'z';
  size_t indices = twoIndices ? 2 : 1;
  std::optional<LoopVariable> value;
  if (loop.variableCount() == indices + 1) value.emplace(loop.variable(indices), loop.constant);
  for (size_t step = 0; guard.alive() && step < array.slots.size(); ++step) {
    size_t at = loop.backwards ? array.slots.size() - 1 - step : step;
    if (!array.holds(at)) continue;
    if (twoIndices) {
      size_t columns = static_cast<size_t>(array.columns);
      loop.bindPosition(0, static_cast<long long>(at / columns));
      loop.bindPosition(1, static_cast<long long>(at % columns));
    } else {
      loop.bindPosition(0, static_cast<long long>(at));
    }
    // The body may have cleared the slot through a binding made before it.
    if (value && array.holds(at)) loop.check.require(transfer(**value, *array.slots[at], Transfer::CallAlias));
    if (loop.runBody()) break;
  }
}

template <TypeCode Own>
constexpr TypeOps arrayRow(const char* name) {
  return {
      .name = name,
      .create = createArray,
      .release = releaseArray,
      .copy = copyArray,
      .equals = sameArrays,
      .isEmpty = isEmptyArray,
      .makeEmpty = renewPayload,
      .visitParts = visitSlots,
      .loopsRunning = arrayLoops,
      .writeText = writeArray,
      .readText = nullptr,
      .elementLoop = loopOverSlots,
      // The index variables (one for an array, two for an array2), and the value if asked.
      .loopVariablesFewest = Own == 'z' ? 2 : 1,
      .loopVariablesMost = Own == 'z' ? 3 : 2,
      .writeBinary = writeBinaryArray<Own>,
      .readBinary = readBinaryArray<Own>,
  };
}

}  // namespace

extern constinit const TypeOps kArrayOps = arrayRow<'a'>("array");
extern constinit const TypeOps kArray2Ops = arrayRow<'z'>("array2");

}  // namespace kavor
