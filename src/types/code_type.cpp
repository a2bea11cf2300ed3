// The row of `code`: a block of the program tree, shared, never copied. Code values are
// made for every block argument, so their payloads come from a free list. Code has no text
// form.
#include "core/payloads.h"
#include "core/pool.h"
#include "core/type_table.h"

namespace kavor {

extern constinit const TypeOps kCodeOps = {
    .name = "code",
    .create = [](Object& object) { object.value = newPooled<CodeValue>(); },
    .release = [](Object& object) { deletePooled<CodeValue>(object.value); },
    .copy = [](Object& target, const Object& source) { target.asCode() = source.asCode(); },
    .equals = [](Object& a, Object& b, PartComparison&) { return a.asCode().tree == b.asCode().tree; },
    .isEmpty = [](const Object& object) { return object.asCode().tree == nullptr; },
    .makeEmpty = renewPayload,
    .visitParts = nullptr,
    .loopsRunning = nullptr,
    .writeText = nullptr,
    .readText = nullptr,
};

}  // namespace kavor
