// The row of `int`. Ints are the commonest temporaries, so their payloads come from a free
// list.
#include <charconv>

#include "core/binary_form.h"
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

// Two small operands of + - * with a small result: computed in machine words, the target
// kept in its word.
bool combineSmall(char op, Object& target, const Object& source) {
  std::int64_t a, b, result;
  if (!target.readSmallInt(a) || !source.readSmallInt(b)) return false;
  bool overflow = op == '+'   ? __builtin_add_overflow(a, b, &result)
                  : op == '-' ? __builtin_sub_overflow(a, b, &result)
                  : op == '*' ? __builtin_mul_overflow(a, b, &result)
                              : true;
  if (overflow || result > BigInt::kSmallLimit || result < -BigInt::kSmallLimit) return false;
  target.setSmallInt(result);
  return true;
}

// Values kept in words are copied, compared and written without a BigInt: a list of a
// million ints stays a million words.
void copyInt(Object& target, const Object& source) {
  std::int64_t small;
  if (source.holdsSmallInt()) {
    if (source.readSmallInt(small)) target.setSmallInt(small);
    else target.setInt(BigInt());
    return;
  }
  target.setInt(source.asInt());
}

// The value of an int without turning a word into a BigInt: `scratch` takes it then.
const BigInt& readInt(const Object& object, BigInt& scratch) {
  if (!object.holdsSmallInt()) return object.asInt();
  std::int64_t small;
  if (object.readSmallInt(small)) scratch.setSmall(small);
  return scratch;
}

// The order of integers, the empty value below every integer.
std::strong_ordering compareInts(const Object& a, const Object& b) {
  std::int64_t x, y;
  if (a.readSmallInt(x) && b.readSmallInt(y)) return x <=> y;
  BigInt scratchA, scratchB;
  return readInt(a, scratchA) <=> readInt(b, scratchB);
}

// "+=" is the accumulator: an empty source adds nothing (and an empty target counts as 0);
// every other operator was given two values. A target kept in its word computes in a
// scratch BigInt and goes back to the word when the result fits.
Failure combineInts(char op, Object& target, Object& source) {
  if (combineSmall(op, target, source)) return Failure::none();
  BigInt scratchA, scratchB;
  const BigInt& b = readInt(source, scratchB);
  bool inWord = target.holdsSmallInt();
  BigInt& a = inWord ? scratchA : target.asInt();
  if (inWord) readInt(target, scratchA);
  Failure failure = Failure::none();
  switch (op) {
    case '+':
      if (!b.isEmpty()) a += b;
      break;
    case '-': a -= b; break;
    case '*': a *= b; break;
    case '/': failure = a.setQuotient(a, b); break;
    case '%': failure = a.setRemainder(a, b); break;
    default: failure = store(a, power(a, b)); break;
  }
  if (inWord && !failure) target.setInt(a);
  return failure;
}

void writeInt(const Object& object, std::string& out, TextParts&) {
  std::int64_t small;
  if (object.readSmallInt(small)) {
    char digits[24];
    auto [end, error] = std::to_chars(digits, digits + sizeof digits, small);
    out.append(digits, end);
    return;
  }
  if (object.holdsSmallInt()) return;  // empty
  out += object.asInt().toText();
}

// Binary item: "i", the decimal text (nothing for the empty int), "i".
void writeBinaryInt(const Object& object, std::string& out, TextParts& parts) {
  out += 'i';
  writeInt(object, out, parts);
  out += 'i';
}

bool readBinaryInt(BinaryInput& in, char, Object& target) {
  std::string text;
  if (!in.textUntil('i', text)) return false;
  if (text.empty()) return true;
  size_t digits = text[0] == '-' ? 1 : 0;
  if (digits == text.size() || text.find_first_not_of("0123456789", digits) != std::string::npos) return false;
  std::optional<BigInt> value = BigInt::fromText(text);
  if (!value) return false;
  target.setInt(*value);
  return true;
}

}  // namespace

extern constinit const TypeOps kIntOps = {
    .name = "int",
    .create =
        [](Object& object) {
          object.value = &kSmallIntPayload;
          object.word = static_cast<std::uint64_t>(kEmptySmallInt);
        },
    .release =
        [](Object& object) {
          if (!object.holdsSmallInt()) deletePooled<BigInt>(object.value);
        },
    .copy = copyInt,
    .equals = [](Object& a, Object& b, PartComparison&) { return compareInts(a, b) == 0; },
    .isEmpty = [](const Object& object) { return object.isEmptyInt(); },
    .makeEmpty = renewPayload,
    .visitParts = nullptr,
    .loopsRunning = nullptr,
    .writeText = writeInt,
    .readText =
        [](const std::string& text, Object& target) {
          std::optional<BigInt> value = BigInt::fromText(text);
          if (!value) return false;
          target.setInt(*value);
          return true;
        },
    .compoundOperators = "+-*/%^",
    .acceptsOperand = [](TypeCode source) { return source == 'i'; },
    .compound = combineInts,
    .emptyIsNoValue = true,
    .order = [](Object& a, Object& b) -> std::partial_ordering { return compareInts(a, b); },
    .writeBinary = writeBinaryInt,
    .readBinary = readBinaryInt,
};

}  // namespace kavor
