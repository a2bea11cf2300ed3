// The row of `real`: exact sums, differences and products, quotients cut to the working
// precision, and an int operand taken as the real of the same value.
#include "core/binary_form.h"
#include "core/type_table.h"
#include "numbers/bigreal.h"

namespace kavor {

namespace {

BigReal operandValue(const Object& source) {
  if (source.base() == 'i') return BigReal(source.asInt(), 0);
  return source.asReal();
}

Failure combineReals(char op, Object& target, Object& source) {
  BigReal& a = target.asReal();
  BigReal b = operandValue(source);
  switch (op) {
    case '+': a = a + b; return Failure::none();
    case '-': a = a - b; return Failure::none();
    case '*': a = a * b; return Failure::none();
    default: {
      Outcome<BigReal> quotient = divide(a, b, RealPrecision::current->working);
      if (!quotient.ok()) return quotient.failure;
      a = std::move(quotient.value);
      return Failure::none();
    }
  }
}

// Binary item: "r", the exact decimal text whatever the output precision, "r".
void writeBinaryReal(const Object& object, std::string& out, TextParts&) {
  out += 'r';
  out += object.asReal().toText(-1);
  out += 'r';
}

// Only what the writer writes: a sign, digits and a point, no exponent that could ask for
// millions of digits.
bool readBinaryReal(BinaryInput& in, char, Object& target) {
  std::string text;
  if (!in.textUntil('r', text)) return false;
  if (text.empty()) return true;
  if (text.find_first_not_of("-0123456789.") != std::string::npos) return false;
  Outcome<BigReal> value = BigReal::fromText(text);
  if (!value.ok()) return false;
  target.asReal() = std::move(value.value);
  return true;
}

}  // namespace

extern constinit const TypeOps kRealOps = {
    .name = "real",
    .create = [](Object& object) { object.value = new BigReal(); },
    .release = [](Object& object) { delete static_cast<BigReal*>(object.value); },
    .copy = [](Object& target, const Object& source) { target.asReal() = source.asReal(); },
    .equals = [](Object& a, Object& b, PartComparison&) { return a.asReal() == b.asReal(); },
    .isEmpty = [](const Object& object) { return object.asReal().isEmpty(); },
    .makeEmpty = renewPayload,
    .visitParts = nullptr,
    .loopsRunning = nullptr,
    .writeText = [](const Object& object, std::string& out, TextParts&) { out += object.asReal().toText(); },
    .readText =
        [](const std::string& text, Object& target) {
          Outcome<BigReal> value = BigReal::fromText(text);
          if (!value.ok()) return false;
          target.asReal() = std::move(value.value);
          return true;
        },
    .compoundOperators = "+-*/",
    .acceptsOperand = [](TypeCode source) { return source == 'r' || source == 'i'; },
    .compound = combineReals,
    .emptyIsNoValue = true,
    .order = [](Object& a, Object& b) -> std::partial_ordering { return a.asReal() <=> b.asReal(); },
    .writeBinary = writeBinaryReal,
    .readBinary = readBinaryReal,
};

}  // namespace kavor
