// BigReal: the decimal number behind every `real`, an unbounded integer mantissa and a
// count of digits after the point. Sums, differences and products are exact; quotients and
// the elementary functions (numbers/real_functions.h) are cut to the working precision.
#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

#include "numbers/bigint.h"
#include "numbers/refusal.h"

namespace kavor {

// The two precisions of a run: how many digits after the point quotients and functions
// keep, and how many output writes. They belong to the run, not to a value.
struct RealPrecision {
  int32_t working = 8;  // P: digits after the point of quotients and function values; >= 0
  int32_t output = -1;  // Q: digits after the point written; < 0 = not set (exact, trimmed)

  // The precisions in force: the running interpreter's record (RealPrecisionLink), else a
  // module default. Never null.
  static RealPrecision* current;
};

// Points RealPrecision::current at one interpreter's record for as long as it lives, since
// reals are combined and written deep inside value handling, far from the interpreter.
class RealPrecisionLink {
 public:
  explicit RealPrecisionLink(RealPrecision* precision) : previous_(RealPrecision::current) {
    RealPrecision::current = precision;
  }
  ~RealPrecisionLink() { RealPrecision::current = previous_; }
  RealPrecisionLink(const RealPrecisionLink&) = delete;
  RealPrecisionLink& operator=(const RealPrecisionLink&) = delete;

 private:
  RealPrecision* previous_;  // restored on destruction
};

// Sets the output precision for as long as it lives: hash keys are hashed by their exact
// text, which must not move when a program changes the output precision.
class OutputPrecisionOverride {
 public:
  explicit OutputPrecisionOverride(int32_t output) : saved_(RealPrecision::current->output) {
    RealPrecision::current->output = output;
  }
  ~OutputPrecisionOverride() { RealPrecision::current->output = saved_; }
  OutputPrecisionOverride(const OutputPrecisionOverride&) = delete;
  OutputPrecisionOverride& operator=(const OutputPrecisionOverride&) = delete;

 private:
  int32_t saved_;  // restored on destruction
};

// The most digits a real read from text may have before or after its point: an exponent
// beyond it is refused, as an int of that size is.
inline constexpr int64_t kMaxRealDigits = 10000000;

// A value m * 10^-scale, or the empty value a new `real` variable holds. The arithmetic
// never sees the empty value: the operators and methods refuse it first.
class BigReal {
 public:
  // The empty value.
  BigReal() = default;
  // mantissa * 10^-scale; a negative scale is folded into the mantissa.
  BigReal(BigInt mantissa, int64_t scale);
  explicit BigReal(std::int64_t value) : mantissa_(value) {}

  // An optional sign, digits with at most one point (at least one digit; a point needs a
  // digit or the exponent after it), then optionally "e" or "E", an optional sign and
  // digits: "1.5", "-.5", "+2e-3", "12".
  static bool isLiteral(std::string_view text);
  // The value of a literal: "String is no real value" for a text that is none, "Infeasible
  // argument '<exponent>'" when the exponent would make more than kMaxRealDigits digits.
  static Outcome<BigReal> fromText(std::string_view text);

  bool isEmpty() const { return mantissa_.isEmpty(); }
  bool isZero() const { return mantissa_.isZero(); }
  bool isNegative() const { return mantissa_.isNegative(); }
  int signum() const { return mantissa_.signum(); }
  bool isIntegral() const;
  const BigInt& mantissa() const { return mantissa_; }
  int64_t scale() const { return scale_; }

  // The text form with `outputPrecision` digits after the point (cut, not rounded); a
  // negative precision writes the exact value without trailing zeros, and an integral
  // value without a point. "" for the empty value.
  std::string toText(int32_t outputPrecision) const;
  // The text form at the output precision in force.
  std::string toText() const { return toText(RealPrecision::current->output); }

  // The value cut (towards zero) to `scale` digits after the point, or extended by zeros.
  BigReal rescaled(int64_t scale) const;
  // The integral part, truncated towards zero.
  BigInt truncated() const;
  // Base-10 logarithm of |value|, approximately (to a few digits), for choosing working
  // precisions; very negative for zero.
  double magnitude() const;

  BigReal operator-() const { return BigReal(-mantissa_, scale_); }
  BigReal abs() const { return BigReal(mantissa_.abs(), scale_); }
  friend BigReal operator+(const BigReal& a, const BigReal& b);
  friend BigReal operator-(const BigReal& a, const BigReal& b);
  friend BigReal operator*(const BigReal& a, const BigReal& b);

  // Equality and order of values: 1.50 equals 1.5. The empty value equals only itself and
  // sorts below every number.
  friend bool operator==(const BigReal& a, const BigReal& b);
  friend std::strong_ordering operator<=>(const BigReal& a, const BigReal& b);

 private:
  BigInt mantissa_;    // m; empty for the empty value
  int64_t scale_ = 0;  // digits after the point; >= 0
};

// a / b cut towards zero to `precision` digits after the point; "Division by 0" for a zero
// divisor. The divisor is used whole, however small.
Outcome<BigReal> divide(const BigReal& a, const BigReal& b, int64_t precision);

}  // namespace kavor
