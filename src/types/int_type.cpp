// The row of `int`. Ints are the commonest temporaries, so their payloads come from a free
// list.
#include "core/pool.h"
#include "core/type_table.h"
#include "numbers/bigint.h"
#include "numbers/number_theory.h"

namespace kavor {

namespace {

Failure store(BigInt& target, Outcome<BigInt> outcome) {
  if (!outcome.ok()) return outcome.failure;
  target = std::move(outcome.value);
  return Failure::none();
}

// "+=" is the accumulator: an empty source adds nothing (and an empty target counts as 0);
// every other operator was given two values.
Failure combineInts(char op, Object& target, Object& source) {
  BigInt& a = target.asInt();
  const BigInt& b = source.asInt();
  switch (op) {
    case '+':
      if (!b.isEmpty()) a += b;
      return Failure::none();
    case '-': a -= b; return Failure::none();
    case '*': a *= b; return Failure::none();
    case '/': return a.setQuotient(a, b);
    case '%': return a.setRemainder(a, b);
    default: return store(a, power(a, b));
  }
}

}  // namespace

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
    .compoundOperators = "+-*/%^",
    .acceptsOperand = [](TypeCode source) { return source == 'i'; },
    .compound = combineInts,
    .emptyIsNoValue = true,
    .order = [](Object& a, Object& b) -> std::partial_ordering { return a.asInt() <=> b.asInt(); },
};

}  // namespace kavor
