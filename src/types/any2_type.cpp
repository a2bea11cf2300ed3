// The row of `any2`: a pair of two `any` halves, written "first->second".
#include "core/payloads.h"
#include "core/type_table.h"

namespace kavor {

namespace {

// A half takes the source half as a list element would: the same indirection, or a copy.
void copyHalf(Object& into, Object& from) {
  into.clear(false);
  into.construct('v');
  // A fresh any that nothing points at takes every value and mirrors every indirection.
  (void)transfer(into, from, Transfer::SameOrCopy);
}

bool emptyHalf(const Object& half) { return !half.isDefined() || half.isEmpty(); }

}  // namespace

extern constinit const TypeOps kAny2Ops = {
    .name = "any2",
    .create = [](Object& object) { object.value = new Any2Value(); },
    .release = [](Object& object) { delete static_cast<Any2Value*>(object.value); },
    .copy =
        [](Object& target, const Object& source) {
          copyHalf(target.asAny2().first, source.asAny2().first);
          copyHalf(target.asAny2().second, source.asAny2().second);
        },
    .equals =
        [](Object& a, Object& b, PartComparison& parts) {
          return parts.same(a.asAny2().first, b.asAny2().first, true) &&
                 parts.same(a.asAny2().second, b.asAny2().second, true);
        },
    .isEmpty = [](const Object& object) { return emptyHalf(object.asAny2().first) && emptyHalf(object.asAny2().second); },
    .makeEmpty =
        [](Object& object) {
          object.asAny2().first.makeEmpty();
          object.asAny2().second.makeEmpty();
        },
    .visitParts =
        [](const Object& object, PartVisitor& visit) {
          visit.visit(object.asAny2().first);
          visit.visit(object.asAny2().second);
        },
    .loopsRunning = nullptr,
    .writeText =
        [](const Object& object, std::string&, TextParts& parts) {
          parts.part(object.asAny2().first);
          parts.text("->");
          parts.part(object.asAny2().second);
        },
    .readText = nullptr,
};

}  // namespace kavor
