#include "numbers/bigreal.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace kavor {

namespace {

RealPrecision defaultPrecision;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

size_t skipDigits(std::string_view text, size_t at) {
  while (at < text.size() && isDigit(text[at])) ++at;
  return at;
}

// Where the parts of a real literal lie in its text.
struct LiteralParts {
  size_t digitsBegin = 0;    // first character after the sign
  size_t point = 0;          // position of ".", or npos
  size_t digitsEnd = 0;      // end of the mantissa part
  size_t exponentBegin = 0;  // first character after "e"/"E" (its sign included), or npos
};

bool splitLiteral(std::string_view text, LiteralParts& parts) {
  size_t at = 0;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  parts.digitsBegin = at;
  at = skipDigits(text, at);
  size_t whole = at - parts.digitsBegin;
  parts.point = std::string_view::npos;
  size_t fraction = 0;
  if (at < text.size() && text[at] == '.') {
    parts.point = at;
    size_t end = skipDigits(text, at + 1);
    fraction = end - at - 1;
    at = end;
  }
  if (whole + fraction == 0) return false;
  parts.digitsEnd = at;
  parts.exponentBegin = std::string_view::npos;
  if (at == text.size()) return fraction > 0 || parts.point == std::string_view::npos;
  if (text[at] != 'e' && text[at] != 'E') return false;
  parts.exponentBegin = ++at;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  return at < text.size() && skipDigits(text, at) == text.size();
}

// The exponent's text as a number would be written: no "+", no leading zeros.
std::string exponentText(std::string_view exponent) {
  bool negative = !exponent.empty() && exponent[0] == '-';
  if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) exponent.remove_prefix(1);
  while (exponent.size() > 1 && exponent[0] == '0') exponent.remove_prefix(1);
  if (exponent == "0") negative = false;
  std::string shown;
  if (negative) shown += '-';
  shown += exponent;
  return shown;
}

// Both mantissas at the larger of two different scales.
std::pair<BigInt, BigInt> aligned(const BigReal& a, const BigReal& b) {
  if (a.scale() < b.scale())
    return {timesPowerOfTen(a.mantissa(), static_cast<size_t>(b.scale() - a.scale())), b.mantissa()};
  return {a.mantissa(), timesPowerOfTen(b.mantissa(), static_cast<size_t>(a.scale() - b.scale()))};
}

}  // namespace

RealPrecision* RealPrecision::current = &defaultPrecision;

BigReal::BigReal(BigInt mantissa, int64_t scale) : mantissa_(std::move(mantissa)), scale_(scale) {
  if (scale_ < 0) {
    mantissa_ = timesPowerOfTen(mantissa_, static_cast<size_t>(-scale_));
    scale_ = 0;
  }
}

bool BigReal::isLiteral(std::string_view text) {
  LiteralParts parts;
  return splitLiteral(text, parts);
}

Outcome<BigReal> BigReal::fromText(std::string_view text) {
  LiteralParts parts;
  if (!splitLiteral(text, parts)) return Outcome<BigReal>::refusal(Refusal::of("zeiketkeirea"));
  std::string digits;
  digits.reserve(parts.digitsEnd - parts.digitsBegin + 1);
  if (text[0] == '-') digits += '-';
  int64_t fraction = 0;
  for (size_t i = parts.digitsBegin; i < parts.digitsEnd; ++i) {
    if (i == parts.point) continue;
    digits += text[i];
    if (parts.point != std::string_view::npos && i > parts.point) ++fraction;
  }
  int64_t exponent = 0;
  if (parts.exponentBegin != std::string_view::npos) {
    std::string_view written = text.substr(parts.exponentBegin);
    std::string shown = exponentText(written);
    // More than 12 digits is beyond every feasible exponent and would overflow.
    size_t length = shown.size() - (shown[0] == '-' ? 1 : 0);
    if (length > 12) return Outcome<BigReal>::refusal(Refusal::of("unzarg", shown));
    exponent = std::stoll(shown);
    int64_t scale = fraction - exponent;
    int64_t whole = static_cast<int64_t>(digits.size()) - fraction + exponent;
    if (scale > kMaxRealDigits || whole > kMaxRealDigits) return Outcome<BigReal>::refusal(Refusal::of("unzarg", shown));
  }
  return Outcome<BigReal>::success(BigReal(*BigInt::fromText(digits), fraction - exponent));
}

bool BigReal::isIntegral() const {
  if (scale_ == 0) return true;
  return timesPowerOfTen(dividedByPowerOfTen(mantissa_, static_cast<size_t>(scale_)), static_cast<size_t>(scale_)) ==
         mantissa_;
}

std::string BigReal::toText(int32_t q) const {
  if (isEmpty()) return "";
  if (isZero()) return "0";
  std::string digits = mantissa_.magnitudeText();
  std::string out;
  if (scale_ == 0) {
    out = digits;
    if (q > 0) out += '.' + std::string(static_cast<size_t>(q), '0');
  } else {
    int64_t length = static_cast<int64_t>(digits.size());
    int64_t k = length - scale_;  // digits before the point; <= 0 when the value is below 1
    int64_t stop = 0;             // the position before which output ends
    if (q < 0) {
      size_t used = digits.find_last_not_of('0') + 1;
      digits.resize(used);
      length = static_cast<int64_t>(used);
      stop = std::max(k, length);
    } else {
      stop = k + q;
    }
    for (int64_t position = std::min<int64_t>(k, 1) - 1; position < stop; ++position) {
      if (position == k) out += '.';
      out += position < 0 || position >= length ? '0' : digits[static_cast<size_t>(position)];
    }
  }
  // A value cut to zeros (-0.25 written with no digits after the point) has no sign.
  if (isNegative() && out.find_first_not_of("0.") != std::string::npos) out.insert(out.begin(), '-');
  return out;
}

BigReal BigReal::rescaled(int64_t scale) const {
  if (scale == scale_) return *this;
  if (scale > scale_) return BigReal(timesPowerOfTen(mantissa_, static_cast<size_t>(scale - scale_)), scale);
  return BigReal(dividedByPowerOfTen(mantissa_, static_cast<size_t>(scale_ - scale)), scale);
}

BigInt BigReal::truncated() const {
  if (scale_ == 0) return mantissa_;
  return dividedByPowerOfTen(mantissa_, static_cast<size_t>(scale_));
}

double BigReal::magnitude() const {
  const LimbVector& limbs = mantissa_.limbs();
  if (limbs.empty()) return -1e18;
  double top = limbs[limbs.size() - 1];
  double below = 0;
  if (limbs.size() >= 2) below = limbs[limbs.size() - 2];
  double lead = std::log10(top * 1e9 + below) - 9.0;
  return lead + 9.0 * static_cast<double>(limbs.size() - 1) - static_cast<double>(scale_);
}

BigReal operator+(const BigReal& a, const BigReal& b) {
  if (a.scale() == b.scale()) return BigReal(a.mantissa() + b.mantissa(), a.scale());
  auto [x, y] = aligned(a, b);
  return BigReal(x + y, std::max(a.scale(), b.scale()));
}

BigReal operator-(const BigReal& a, const BigReal& b) {
  if (a.scale() == b.scale()) return BigReal(a.mantissa() - b.mantissa(), a.scale());
  auto [x, y] = aligned(a, b);
  return BigReal(x - y, std::max(a.scale(), b.scale()));
}

BigReal operator*(const BigReal& a, const BigReal& b) { return BigReal(a.mantissa() * b.mantissa(), a.scale() + b.scale()); }

bool operator==(const BigReal& a, const BigReal& b) {
  if (a.isEmpty() || b.isEmpty()) return a.isEmpty() == b.isEmpty();
  if (a.signum() != b.signum()) return false;
  if (a.scale() == b.scale()) return a.mantissa() == b.mantissa();
  auto [x, y] = aligned(a, b);
  return x == y;
}

std::strong_ordering operator<=>(const BigReal& a, const BigReal& b) {
  if (a.isEmpty() || b.isEmpty()) return !a.isEmpty() <=> !b.isEmpty();
  if (a.signum() != b.signum()) return a.signum() <=> b.signum();
  if (a.scale() == b.scale()) return a.mantissa() <=> b.mantissa();
  auto [x, y] = aligned(a, b);
  return x <=> y;
}

Outcome<BigReal> divide(const BigReal& a, const BigReal& b, int64_t precision) {
  if (b.isZero() || b.isEmpty()) return Outcome<BigReal>::refusal(Refusal::of("divdur0"));
  int64_t shift = b.scale() - a.scale() + precision;
  Outcome<BigInt> quotient =
      shift >= 0 ? divide(timesPowerOfTen(a.mantissa(), static_cast<size_t>(shift)), b.mantissa())
                 : divide(a.mantissa(), timesPowerOfTen(b.mantissa(), static_cast<size_t>(-shift)));
  return Outcome<BigReal>::success(BigReal(std::move(quotient.value), precision));
}

}  // namespace kavor
