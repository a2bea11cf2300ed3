// BigInt: the unbounded integer behind every `int` value, count and position.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "numbers/refusal.h"
#include "numbers/limb_vector.h"

namespace kavor {

// An integer of any size, or the empty value that a new `int` variable holds before it is
// given one. Arithmetic reads an empty operand as 0 and always yields an integer; whether an
// empty operand is allowed at all is for the operators and methods to decide.
// Zero is never negative, so no operation can produce the text "-0".
class BigInt {
 public:
  // The empty value.
  BigInt() = default;
  explicit BigInt(std::int64_t value);
  static BigInt fromUnsigned(std::uint64_t value);
  // A value with the given magnitude (trimmed or not) and sign; zero ignores the sign.
  static BigInt fromMagnitude(LimbVector magnitude, bool negative);

  // Non-empty; an optional "+" or "-" first; then at least one character, all decimal digits.
  // Leading zeros are allowed ("007", "-0").
  static bool isIntegerLiteral(std::string_view text);
  // The value of an integer literal, or nothing when the text is not one.
  static std::optional<BigInt> fromText(std::string_view text);

  bool isEmpty() const { return !hasValue_; }
  // Back to the empty value (an `int` being emptied).
  void makeEmpty();
  // A value (not empty) equal to 0.
  bool isZero() const { return hasValue_ && limbs_.empty(); }
  bool isNegative() const { return negative_; }
  bool isPositive() const { return !negative_ && !limbs_.empty(); }
  bool isEven() const { return limbs_.empty() || limbs_[0] % 2 == 0; }
  // -1, 0 or 1; 0 for the empty value too.
  int signum() const { return negative_ ? -1 : (limbs_.empty() ? 0 : 1); }

  // Decimal text with "-" for a negative value; "" for the empty value.
  std::string toText() const;
  // Decimal text of the magnitude, no sign; "" for the empty value.
  std::string magnitudeText() const;
  // Number of decimal digits of the magnitude (1 for zero, 0 for the empty value).
  std::size_t digitCount() const;

  // The value as a machine integer, or nothing when it is empty or does not fit.
  std::optional<std::int64_t> toInt64() const;

  // Small values: magnitudes of at most two limbs (below 10^18). The executor's fast paths
  // compute with them as machine integers, where sums and differences cannot overflow.
  static constexpr std::int64_t kSmallLimit = 999999999999999999;
  // True, with the value, when it is not empty and small.
  bool toSmall(std::int64_t& out) const {
    if (!hasValue_ || limbs_.size() > 2) return false;
    std::int64_t magnitude = 0;
    if (limbs_.size() == 2) magnitude = static_cast<std::int64_t>(limbs_[1]) * kLimbBase;
    if (!limbs_.empty()) magnitude += limbs_[0];
    out = negative_ ? -magnitude : magnitude;
    return true;
  }
  // Becomes `value`, which must lie within -kSmallLimit .. kSmallLimit.
  void setSmall(std::int64_t value) {
    std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    limbs_.clear();
    if (magnitude != 0) {
      limbs_.push_back(static_cast<Limb>(magnitude % kLimbBase));
      if (magnitude >= kLimbBase) limbs_.push_back(static_cast<Limb>(magnitude / kLimbBase));
    }
    negative_ = value < 0;
    hasValue_ = true;
  }
  // The magnitude as a machine integer, or nothing when it does not fit 64 bits.
  std::optional<std::uint64_t> magnitudeToUnsigned() const;
  // True when the value is not empty and low <= value <= high; callers report values
  // outside with the full decimal text, never a truncated one.
  bool fitsIn(std::int64_t low, std::int64_t high) const;

  BigInt operator-() const;
  BigInt abs() const;
  BigInt& operator+=(const BigInt& other);
  BigInt& operator-=(const BigInt& other);
  BigInt& operator*=(const BigInt& other);
  BigInt& operator++();
  BigInt& operator--();

  // this = a + b, a - b, a * b, with the result written into this value's own limbs (reused
  // when they are large enough) instead of a temporary. Either operand may be this value.
  void setSum(const BigInt& a, const BigInt& b);
  void setDifference(const BigInt& a, const BigInt& b);
  void setProduct(const BigInt& a, const BigInt& b);
  // this = a / b and this = a % b with the meanings of divide and remainder below, in this
  // value's own limbs where possible; "Division by 0" leaves this value unchanged.
  Refusal setQuotient(const BigInt& a, const BigInt& b);
  Refusal setRemainder(const BigInt& a, const BigInt& b);

  friend BigInt operator+(BigInt a, const BigInt& b) { return a += b; }
  friend BigInt operator-(BigInt a, const BigInt& b) { return a -= b; }
  friend BigInt operator*(const BigInt& a, const BigInt& b);

  // Two empty values are equal; an empty value equals no integer.
  friend bool operator==(const BigInt& a, const BigInt& b);
  // The order of integers; the empty value sorts below every integer.
  friend std::strong_ordering operator<=>(const BigInt& a, const BigInt& b);

  // The magnitude, base 10^9, least significant limb first, trimmed.
  const LimbVector& limbs() const { return limbs_; }

 private:
  // Adds a magnitude with the given sign to this value.
  void addSigned(const LimbVector& magnitude, bool magnitudeNegative);
  // this = a + (the magnitude with the given sign), for the sums and differences.
  void setSigned(const BigInt& a, const LimbVector& magnitude, bool magnitudeNegative);
  // Makes the value `magnitude` (already trimmed) with the given sign; zero is positive.
  void finish(bool negative) {
    negative_ = negative && !limbs_.empty();
    hasValue_ = true;
  }
  friend Refusal divideWithRemainder(const BigInt& a, const BigInt& b, BigInt& quotient, BigInt& rest);

  LimbVector limbs_;       // |value| in base 10^9, least significant first, no zero top limb;
                           // no limbs for zero and for the empty value
  bool negative_ = false;  // true only for a value below zero
  bool hasValue_ = false;  // false only for the empty value; then limbs_ is empty too
};

// a / b truncated towards zero (-7 / 2 = -3); "Division by 0" for a zero or empty divisor.
Outcome<BigInt> divide(const BigInt& a, const BigInt& b);
// The remainder that always lies in 0 .. |b|-1 (-7 % 2 = 1, 7 % -2 = 1, -7 % -3 = 2);
// "Division by 0" for a zero or empty divisor.
Outcome<BigInt> remainder(const BigInt& a, const BigInt& b);

// quotient = a / b and rest = a % b, as divide and remainder give them, from one division;
// "Division by 0" leaves both unchanged. `quotient` and `rest` must be different values;
// either may be an operand.
Refusal divideWithRemainder(const BigInt& a, const BigInt& b, BigInt& quotient, BigInt& rest);

// value * 10^count, and value / 10^count truncated towards zero: the decimal shifts that
// rescaling a real needs, linear in the size of the value. The result of timesPowerOfTen
// takes count / 9 limbs more memory, so callers bound count (a precision setting, say).
BigInt timesPowerOfTen(const BigInt& value, std::size_t count);
BigInt dividedByPowerOfTen(const BigInt& value, std::size_t count);

}  // namespace kavor
