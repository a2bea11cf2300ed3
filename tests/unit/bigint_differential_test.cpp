// Every int operation against a slow decimal reference that shares nothing with BigInt
// (digit strings and schoolbook arithmetic), on operands whose sizes sit around the points
// where the algorithms change: one, two and three limbs, the first lengths summed eight limbs
// at a time, the Karatsuba threshold, values of all nines and exact powers of the base
// (carries through every limb), both signs, zero, and the in-place forms where target and
// operand are the same value.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/failure.h"
#include "numbers/bigint.h"

namespace kavor {
namespace {

// ---- the reference: magnitudes as decimal digit strings, most significant first --------

std::string trimmed(std::string digits) {
  std::size_t first = digits.find_first_not_of('0');
  return first == std::string::npos ? "0" : digits.substr(first);
}

int compareDigits(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

std::string addDigits(const std::string& a, const std::string& b) {
  std::string sum;
  int carry = 0;
  for (std::size_t i = 0; i < std::max(a.size(), b.size()) || carry; ++i) {
    int digit = carry + (i < a.size() ? a[a.size() - 1 - i] - '0' : 0) + (i < b.size() ? b[b.size() - 1 - i] - '0' : 0);
    sum.push_back(static_cast<char>('0' + digit % 10));
    carry = digit / 10;
  }
  std::reverse(sum.begin(), sum.end());
  return trimmed(sum);
}

// a - b for a >= b.
std::string subtractDigits(const std::string& a, const std::string& b) {
  std::string difference = a;
  int borrow = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    int digit = (a[a.size() - 1 - i] - '0') - borrow - (i < b.size() ? b[b.size() - 1 - i] - '0' : 0);
    borrow = digit < 0;
    difference[a.size() - 1 - i] = static_cast<char>('0' + digit + 10 * borrow);
  }
  return trimmed(difference);
}

std::string multiplyDigits(const std::string& a, const std::string& b) {
  std::vector<int> columns(a.size() + b.size(), 0);
  for (std::size_t i = 0; i < a.size(); ++i)
    for (std::size_t j = 0; j < b.size(); ++j) columns[i + j + 1] += (a[i] - '0') * (b[j] - '0');
  std::string product(columns.size(), '0');
  int carry = 0;
  for (std::size_t k = columns.size(); k-- > 0;) {
    int value = columns[k] + carry;
    product[k] = static_cast<char>('0' + value % 10);
    carry = value / 10;
  }
  return trimmed(product);
}

// Long division one decimal digit at a time; b is not zero.
void divideDigits(const std::string& a, const std::string& b, std::string& quotient, std::string& rest) {
  quotient.clear();
  rest = "0";
  for (char digit : a) {
    rest = trimmed(rest + digit);
    char count = '0';
    while (compareDigits(rest, b) >= 0) {
      rest = subtractDigits(rest, b);
      ++count;
    }
    quotient.push_back(count);
  }
  quotient = trimmed(quotient);
}

struct Ref {
  bool negative;
  std::string digits;  // trimmed; "0" for zero, which is never negative
  std::string text() const { return (negative && digits != "0" ? "-" : "") + digits; }
};

Ref make(bool negative, const std::string& digits) { return {negative && digits != "0", digits}; }

Ref sum(const Ref& a, const Ref& b) {
  if (a.negative == b.negative) return make(a.negative, addDigits(a.digits, b.digits));
  if (compareDigits(a.digits, b.digits) >= 0) return make(a.negative, subtractDigits(a.digits, b.digits));
  return make(b.negative, subtractDigits(b.digits, a.digits));
}
Ref negated(const Ref& a) { return make(!a.negative, a.digits); }
Ref product(const Ref& a, const Ref& b) { return make(a.negative != b.negative, multiplyDigits(a.digits, b.digits)); }
// The truncating quotient and the remainder that never goes below zero.
void quotientAndRemainder(const Ref& a, const Ref& b, Ref& quotient, Ref& rest) {
  std::string q, r;
  divideDigits(a.digits, b.digits, q, r);
  quotient = make(a.negative != b.negative, q);
  rest = make(false, a.negative && r != "0" ? subtractDigits(b.digits, r) : r);
}

// ---- operands -------------------------------------------------------------------------

BigInt value(const Ref& ref) { return BigInt::fromText(ref.text()).value(); }

// Operands of the interesting shapes with `limbs` limbs: random digits, all nines, an exact
// power of the base and that power minus one... plus one, in either sign.
std::vector<Ref> operandsOf(std::size_t limbs, std::mt19937_64& random) {
  std::vector<Ref> result;
  std::string digits;
  for (std::size_t i = 0; i < limbs * 9; ++i) digits.push_back(static_cast<char>('0' + random() % 10));
  std::string power = "1" + std::string(limbs * 9, '0');
  for (const std::string& magnitude :
       {trimmed(digits), std::string(limbs * 9, '9'), power, addDigits(power, "1"), std::string("1") + std::string(limbs * 9 - 1, '0') + "7"}) {
    result.push_back(make(random() % 2 == 0, magnitude));
  }
  return result;
}

std::string text(const Outcome<BigInt>& outcome) {
  return outcome.ok() ? outcome.value.toText() : Failure(outcome.failure).text();
}

// Every operation on one pair, in the plain, the in-place and the aliased forms.
void checkPair(const Ref& a, const Ref& b) {
  BigInt x = value(a), y = value(b);
  std::string where = a.text() + " and " + b.text();
  EXPECT_EQ((x + y).toText(), sum(a, b).text()) << where;
  EXPECT_EQ((x - y).toText(), sum(a, negated(b)).text()) << where;
  EXPECT_EQ((x * y).toText(), product(a, b).text()) << where;

  BigInt target = x;
  target += y;
  EXPECT_EQ(target.toText(), sum(a, b).text()) << where;
  target = x;
  target -= y;
  EXPECT_EQ(target.toText(), sum(a, negated(b)).text()) << where;
  target = x;
  target *= y;
  EXPECT_EQ(target.toText(), product(a, b).text()) << where;
  // The result written over the second operand's own value.
  target = y;
  target.setSum(x, target);
  EXPECT_EQ(target.toText(), sum(a, b).text()) << where;
  target = y;
  target.setDifference(x, target);
  EXPECT_EQ(target.toText(), sum(a, negated(b)).text()) << where;
  target = y;
  target.setProduct(x, target);
  EXPECT_EQ(target.toText(), product(a, b).text()) << where;

  if (b.digits == "0") {
    EXPECT_EQ(text(divide(x, y)), "Division by 0");
    return;
  }
  Ref quotient, rest;
  quotientAndRemainder(a, b, quotient, rest);
  EXPECT_EQ(text(divide(x, y)), quotient.text()) << where;
  EXPECT_EQ(text(remainder(x, y)), rest.text()) << where;
  target = x;
  EXPECT_FALSE(target.setQuotient(target, y));
  EXPECT_EQ(target.toText(), quotient.text()) << where;
  target = x;
  EXPECT_FALSE(target.setRemainder(target, y));
  EXPECT_EQ(target.toText(), rest.text()) << where;
  target = y;
  EXPECT_FALSE(target.setQuotient(x, target));
  EXPECT_EQ(target.toText(), quotient.text()) << where;
  target = y;
  EXPECT_FALSE(target.setRemainder(x, target));
  EXPECT_EQ(target.toText(), rest.text()) << where;
  BigInt bothQuotient, bothRest;
  EXPECT_FALSE(divideWithRemainder(x, y, bothQuotient, bothRest));
  EXPECT_EQ(bothQuotient.toText(), quotient.text()) << where;
  EXPECT_EQ(bothRest.toText(), rest.text()) << where;
}

TEST(BigIntDifferential, EveryOperationAroundTheSwitchOverSizes) {
  std::mt19937_64 random(20261207);
  std::vector<Ref> operands = {make(false, "0"), make(false, "1"), make(true, "1")};
  for (std::size_t limbs : {1, 2, 3, 4, 15, 16, 17, 39, 40, 41, 90}) {
    for (const Ref& ref : operandsOf(limbs, random)) operands.push_back(ref);
  }
  for (const Ref& a : operands) {
    for (const Ref& b : operands) {
      // The largest pairs only with a few partners: the reference is quadratic.
      if (a.digits.size() + b.digits.size() > 800 && random() % 4 != 0) continue;
      checkPair(a, b);
    }
  }
}

TEST(BigIntDifferential, QuotientsNextToExactMultiples) {
  // a = b*q - 1, b*q, b*q + b - 1: the remainder is at either end of its range, where an
  // estimate of the quotient from the top limbs alone is most easily one off.
  std::mt19937_64 random(7);
  for (int round = 0; round < 60; ++round) {
    std::size_t limbs = 3 + random() % 6;
    std::string divisor = "1";
    for (std::size_t i = 1; i < limbs * 9; ++i) divisor.push_back(round % 3 == 0 ? '9' : static_cast<char>('0' + random() % 10));
    std::string factor = std::to_string(1 + random() % (round % 2 == 0 ? 9 : 999999999999ull));
    std::string multiple = multiplyDigits(divisor, factor);
    for (const std::string& dividend :
         {subtractDigits(multiple, "1"), multiple, addDigits(multiple, subtractDigits(divisor, "1"))}) {
      checkPair(make(round % 4 == 1, dividend), make(round % 5 == 2, divisor));
    }
  }
}

// The digits of a magnitude given by its limbs, least significant first.
std::string digitsOfLimbs(const std::vector<Limb>& limbs) {
  std::string digits;
  for (std::size_t i = limbs.size(); i-- > 0;) {
    std::string limb = std::to_string(limbs[i]);
    digits += std::string(9 - limb.size(), '0') + limb;
  }
  return trimmed(digits);
}

TEST(BigIntDifferential, LongValuesTimesOneLimb) {
  // A one-limb factor takes a pass that splits four limb products at a time for factors
  // below 2^20 and one at a time above; values of 7 to 13 limbs put a whole group, a group
  // and a rest, and a rest alone at the top. The carry of a limb's sum that meets a sum of
  // exactly 10^9 - 1 above it must run on: 999999999, 285714285, 714285714 times 7 make
  // that happen, placed in every lane of a group by zero limbs below.
  std::mt19937_64 random(22);
  std::vector<std::vector<Limb>> values;
  for (std::size_t size : {7, 8, 9, 11, 12, 13, 40}) {
    std::vector<Limb> limbs(size);
    for (Limb& limb : limbs) limb = static_cast<Limb>(random() % kLimbBase);
    values.push_back(limbs);
    values.push_back(std::vector<Limb>(size, kLimbBase - 1));
  }
  for (std::size_t shift = 0; shift < 8; ++shift) {
    std::vector<Limb> limbs(shift, 0);
    for (Limb limb : {999999999u, 285714285u, 714285714u}) limbs.push_back(limb);
    limbs.resize(shift + 12, 999999999u);
    values.push_back(limbs);
  }
  for (const std::vector<Limb>& limbs : values) {
    LimbVector magnitude;
    for (Limb limb : limbs) magnitude.push_back(limb);
    Ref a = make(false, digitsOfLimbs(limbs));
    for (std::uint32_t factor : {1u, 2u, 7u, 10u, 13001u, 1048575u, 1048576u, 999999999u}) {
      Ref f = make(factor % 2 == 0, std::to_string(factor));
      BigInt x = BigInt::fromMagnitude(magnitude, false), y = value(f);
      EXPECT_EQ((x * y).toText(), product(a, f).text()) << a.text() << " * " << factor;
      x *= y;
      EXPECT_EQ(x.toText(), product(a, f).text()) << a.text() << " *= " << factor;
    }
  }
}

TEST(BigIntDifferential, SameValueOnBothSides) {
  std::mt19937_64 random(3);
  for (std::size_t limbs : {1, 2, 3, 40, 90}) {
    for (const Ref& a : operandsOf(limbs, random)) {
      BigInt x = value(a);
      BigInt target = x;
      target += target;
      EXPECT_EQ(target.toText(), sum(a, a).text());
      target = x;
      target -= target;
      EXPECT_EQ(target.toText(), "0");
      target = x;
      target *= target;
      EXPECT_EQ(target.toText(), product(a, a).text());
      target = x;
      target.setSum(target, target);
      EXPECT_EQ(target.toText(), sum(a, a).text());
      target = x;
      target.setDifference(target, target);
      EXPECT_EQ(target.toText(), "0");
      target = x;
      target.setProduct(target, target);
      EXPECT_EQ(target.toText(), product(a, a).text());
      target = x;
      EXPECT_FALSE(target.setQuotient(target, target));
      EXPECT_EQ(target.toText(), "1");
      target = x;
      EXPECT_FALSE(target.setRemainder(target, target));
      EXPECT_EQ(target.toText(), "0");
    }
  }
}

TEST(BigIntDifferential, GrowingInPlaceKeepsEveryLimb) {
  // Accumulators that grow one limb at a time reuse and enlarge their own storage.
  Ref expected = make(false, "1");
  BigInt accumulator(1), doubled(1);
  Ref doubledExpected = expected;
  for (int step = 0; step < 300; ++step) {
    accumulator *= BigInt(999999999);
    expected = product(expected, make(false, "999999999"));
    doubled += doubled;
    doubledExpected = sum(doubledExpected, doubledExpected);
  }
  EXPECT_EQ(accumulator.toText(), expected.text());
  EXPECT_EQ(doubled.toText(), doubledExpected.text());
  for (int step = 0; step < 300; ++step) {
    EXPECT_FALSE(accumulator.setQuotient(accumulator, BigInt(999999999)));
  }
  EXPECT_EQ(accumulator.toText(), "1");
}

}  // namespace
}  // namespace kavor
