// The rows of `list` and `args`, which share the list record: elements are Objects of their
// own (an `any` holding each value), written "(e1,e2,...)".
#include "core/binary_form.h"
#include "core/containers.h"
#include "core/type_table.h"
#include "exec/iteration.h"

namespace kavor {

namespace {

void createList(Object& object) { object.value = new ListRecord(); }

void releaseList(Object& object) {
  if (static_cast<ListRecord*>(object.value)->iterationCount > 0) IterationWatch::payloadReleased(object.value);
  destroyContainer(static_cast<ListRecord*>(object.value));
}

// The copy is built apart first: a source element may lie inside the target's old value.
void copyList(Object& target, const Object& source) {
  ListRecord& from = source.asList();
  auto copy = std::make_unique<ListRecord>();
  for (size_t i = 0; i < from.size(); ++i) {
    auto element = std::make_unique<Object>();
    // A fresh any that nothing points at takes every value and mirrors every indirection.
    (void)element->constructByTransfer(from.at(i), Transfer::SameOrCopy);
    copy->appendObject(std::move(element));
  }
  ListRecord& into = target.asList();
  into.clear();
  into.appendAll(*copy);
}

bool sameLists(Object& a, Object& b, PartComparison& parts) {
  ListRecord& left = a.asList();
  ListRecord& right = b.asList();
  if (left.size() != right.size()) return false;
  for (size_t i = 0; i < left.size(); ++i)
    if (!parts.same(left.at(i), right.at(i), false)) return false;
  return true;
}

bool isEmptyList(const Object& object) { return object.asList().empty(); }

void visitElements(const Object& object, PartVisitor& visit) {
  ListRecord& list = object.asList();
  for (size_t i = 0; i < list.size(); ++i) visit.visit(list.at(i));
}

int32_t listLoops(const Object& object) { return object.asList().iterationCount; }

void writeList(const Object& object, std::string&, TextParts& parts) {
  ListRecord& list = object.asList();
  parts.text("(");
  for (size_t i = 0; i < list.size(); ++i) {
    if (i > 0) parts.text(",");
    parts.part(list.at(i));
  }
  parts.text(")");
}

// `list` and `args` differ only in their names.
// `l += m`: the copies are made first, since the source may be the target itself, and a copy
// that fails must leave the target as it was.
Failure appendList(char, Object& targetObject, Object& sourceObject) {
  ListRecord& target = targetObject.asList();
  const ListRecord& source = sourceObject.asList();
  if (target.iterationCount > 0) return refusedDuringIteration();
  ListRecord copies;
  copies.slots.reserve(source.size());
  for (size_t i = 0; i < source.size(); ++i) {
    if (Failure failure = copies.append(source.at(i), Transfer::ReferenceOrCopy)) return failure;
  }
  target.appendAll(copies);
  return Failure::none();
}

template <TypeCode Own>
bool sameListType(TypeCode source) {
  return source == Own;
}

// Binary item: the code, the element count, the code, then the elements.
template <TypeCode Own>
void writeBinaryList(const Object& object, std::string& out, TextParts& parts) {
  ListRecord& list = object.asList();
  out += Own + std::to_string(list.size()) + Own;
  for (size_t i = 0; i < list.size(); ++i) parts.part(list.at(i));
}

// Appends each element as it is read.
class ElementSink final : public CountedPartSink {
 public:
  ElementSink(ListRecord& list, int64_t count) : CountedPartSink(count), list_(list) {}

 private:
  Object& add() override {
    list_.appendObject(std::make_unique<Object>());
    return list_.at(list_.size() - 1);
  }
  ListRecord& list_;
};

template <TypeCode Own>
bool readBinaryList(BinaryInput& in, char, Object& target) {
  int64_t count;
  if (!in.number(count, Own)) return false;
  in.expectParts(std::make_unique<ElementSink>(target.asList(), count));
  return true;
}

// `l.for(x, {...})`: the variable stands for each element in turn (a call-alias), so the
// body can change the element through it.
void loopOverElements(ElementLoop& loop) {
  ListRecord& list = loop.object.asList();
  IterationGuard guard(&list, list.iterationCount);
  LoopVariable element(loop.variable(0), loop.constant);
  for (size_t step = 0; guard.alive() && step < list.size(); ++step) {
    Object& item = list.at(loop.backwards ? list.size() - 1 - step : step);
    loop.check.require(transfer(*element, item, Transfer::CallAlias));
    if (loop.runBody()) break;
  }
}

template <TypeCode Own>
constexpr TypeOps listRow(const char* name) {
  return {
      .name = name,
      .create = createList,
      .release = releaseList,
      .copy = copyList,
      .equals = sameLists,
      .isEmpty = isEmptyList,
      .makeEmpty = renewPayload,
      .visitParts = visitElements,
      .loopsRunning = listLoops,
      .writeText = writeList,
      .readText = nullptr,
      .elementLoop = loopOverElements,
      .compoundOperators = "+",
      .acceptsOperand = sameListType<Own>,
      .compound = appendList,
      .writeBinary = writeBinaryList<Own>,
      .readBinary = readBinaryList<Own>,
  };
}

}  // namespace

extern constinit const TypeOps kListOps = listRow<'l'>("list");
// The variable arguments of a call: a list under another name.
extern constinit const TypeOps kArgsOps = listRow<'y'>("args");

}  // namespace kavor
