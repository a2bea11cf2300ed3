// The row of `int`. Ints are the commonest temporaries, so their payloads come from a free
// list.
#include "core/pool.h"
#include "core/type_table.h"
#include "numbers/bigint.h"

namespace kavor {

extern constinit const TypeOps kIntOps = {
    .name = "int",
    .create = [](Object& object) { object.value = newPooled<BigInt>(); },
    .release = [](Object& object) { deletePooled<BigInt>(object.value); },
    .copy = [](Object& target, const Object& source) { target.asInt() = source.asInt(); },
    .equals = [](Object& a, Object& b, PartComparison&) { return a.asInt() == b.asInt(); },
    .isEmpty = [](const Object& object) { return object.asInt().isEmpty(); },
    .makeEmpty = renewPayload,
    .visitParts = nullptr,
    .loopsRunning = nullptr,
    .writeText = [](const Object& object, std::string& out, TextParts&) { out += object.asInt().toText(); },
    .readText =
        [](const std::string& text, Object& target) {
          std::optional<BigInt> value = BigInt::fromText(text);
          if (!value) return false;
          target.asInt() = std::move(*value);
          return true;
        },
};

}  // namespace kavor
