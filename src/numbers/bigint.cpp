#include "numbers/bigint.h"

#include <limits>
#include <utility>

#include "numbers/magnitude.h"

namespace kavor {

namespace {

constexpr Limb kPowersOfTen[kLimbDigits] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

}  // namespace

BigInt::BigInt(std::int64_t value) : hasValue_(true) {
  negative_ = value < 0;
  // Negating in unsigned arithmetic keeps the most negative value representable.
  std::uint64_t magnitude = negative_ ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  for (; magnitude != 0; magnitude /= kLimbBase) limbs_.push_back(static_cast<Limb>(magnitude % kLimbBase));
}

BigInt BigInt::fromUnsigned(std::uint64_t value) {
  BigInt result(0);
  for (; value != 0; value /= kLimbBase) result.limbs_.push_back(static_cast<Limb>(value % kLimbBase));
  return result;
}

BigInt BigInt::fromMagnitude(LimbVector magnitude, bool negative) {
  BigInt result;
  result.hasValue_ = true;
  result.limbs_ = std::move(magnitude);
  result.limbs_.trim();
  result.negative_ = negative && !result.limbs_.empty();
  return result;
}

void BigInt::makeEmpty() {
  limbs_.clear();
  negative_ = false;
  hasValue_ = false;
}

std::optional<std::uint64_t> BigInt::magnitudeToUnsigned() const {
  std::uint64_t value = 0;
  for (std::size_t i = limbs_.size(); i-- > 0;) {
    if (value > (std::numeric_limits<std::uint64_t>::max() - limbs_[i]) / kLimbBase) return std::nullopt;
    value = value * kLimbBase + limbs_[i];
  }
  return value;
}

std::optional<std::int64_t> BigInt::toInt64() const {
  if (!hasValue_) return std::nullopt;
  auto magnitude = magnitudeToUnsigned();
  if (!magnitude) return std::nullopt;
  constexpr std::uint64_t kMaxPositive = std::numeric_limits<std::int64_t>::max();
  if (!negative_) {
    if (*magnitude > kMaxPositive) return std::nullopt;
    return static_cast<std::int64_t>(*magnitude);
  }
  if (*magnitude > kMaxPositive + 1) return std::nullopt;
  // 0 - magnitude wraps to the two's complement pattern of the negative value.
  return static_cast<std::int64_t>(0 - *magnitude);
}

bool BigInt::fitsIn(std::int64_t low, std::int64_t high) const {
  auto value = toInt64();
  return value && *value >= low && *value <= high;
}

BigInt BigInt::operator-() const {
  BigInt result = *this;
  result.negative_ = !negative_ && !limbs_.empty();
  result.hasValue_ = true;
  return result;
}

BigInt BigInt::abs() const {
  BigInt result = *this;
  result.negative_ = false;
  result.hasValue_ = true;
  return result;
}

void BigInt::addSigned(const LimbVector& magnitude, bool magnitudeNegative) {
  hasValue_ = true;
  if (magnitude.empty()) return;
  if (negative_ == magnitudeNegative || limbs_.empty()) {
    magnitude::addTo(limbs_, magnitude.data(), magnitude.size());
    negative_ = magnitudeNegative;
    return;
  }
  int order = magnitude::compare(limbs_.data(), limbs_.size(), magnitude.data(), magnitude.size());
  if (order >= 0) {
    magnitude::subtractFrom(limbs_, magnitude.data(), magnitude.size());
  } else {
    magnitude::subtractFromOther(limbs_, magnitude.data(), magnitude.size());
    negative_ = magnitudeNegative;
  }
  if (limbs_.empty()) negative_ = false;
}

BigInt& BigInt::operator+=(const BigInt& other) {
  if (&other == this) {
    magnitude::multiplySmall(limbs_, 2);
    hasValue_ = true;
    return *this;
  }
  addSigned(other.limbs_, other.negative_);
  return *this;
}

BigInt& BigInt::operator-=(const BigInt& other) {
  if (&other == this) {
    limbs_.clear();
    negative_ = false;
    hasValue_ = true;
    return *this;
  }
  addSigned(other.limbs_, !other.negative_);
  return *this;
}

void BigInt::setSigned(const BigInt& a, const LimbVector& m, bool mNegative) {
  if (&a == this) {
    addSigned(m, mNegative);
    return;
  }
  if (&m == &limbs_) {
    // this = a ± this: the sum is commutative, so the other operand is added in place.
    negative_ = mNegative && !limbs_.empty();
    addSigned(a.limbs_, a.negative_);
    return;
  }
  const LimbVector& x = a.limbs_;
  if (m.empty() || x.empty()) {
    limbs_ = m.empty() ? x : m;
    finish(m.empty() ? a.negative_ : mNegative);
    return;
  }
  if (a.negative_ == mNegative) {
    magnitude::add(limbs_, x.data(), x.size(), m.data(), m.size());
    finish(mNegative);
    return;
  }
  if (magnitude::compare(x.data(), x.size(), m.data(), m.size()) >= 0) {
    magnitude::subtract(limbs_, x.data(), x.size(), m.data(), m.size());
    finish(a.negative_);
  } else {
    magnitude::subtract(limbs_, m.data(), m.size(), x.data(), x.size());
    finish(mNegative);
  }
}

void BigInt::setSum(const BigInt& a, const BigInt& b) {
  if (&a == this && &b == this) {
    *this += *this;
    return;
  }
  setSigned(a, b.limbs_, b.negative_);
}

void BigInt::setDifference(const BigInt& a, const BigInt& b) {
  if (&a == &b) {
    limbs_.clear();
    finish(false);
    return;
  }
  setSigned(a, b.limbs_, !b.negative_);
}

void BigInt::setProduct(const BigInt& a, const BigInt& b) {
  bool negative = a.negative_ != b.negative_;
  const LimbVector& x = a.limbs_;
  const LimbVector& y = b.limbs_;
  if (&x != &limbs_ && &y != &limbs_) {
    magnitude::multiply(limbs_, x.data(), x.size(), y.data(), y.size());
  } else {
    const LimbVector& other = &x == &limbs_ ? y : x;
    if (&other != &limbs_ && other.size() == 1) {
      magnitude::multiplySmall(limbs_, other[0]);  // x *= k, in place
    } else if (&other != &limbs_ && limbs_.size() == 1) {
      Limb factor = limbs_[0];
      magnitude::multiplySmall(limbs_, other.data(), other.size(), factor);
    } else {
      LimbVector product;
      magnitude::multiply(product, x.data(), x.size(), y.data(), y.size());
      limbs_ = std::move(product);
    }
  }
  finish(negative);
}

Refusal BigInt::setQuotient(const BigInt& a, const BigInt& b) {
  if (b.signum() == 0) return Refusal::of("divdur0");
  bool negative = a.negative_ != b.negative_;
  const LimbVector& x = a.limbs_;
  const LimbVector& y = b.limbs_;
  if (&x != &limbs_ && &y != &limbs_) {
    magnitude::divide(x.data(), x.size(), y.data(), y.size(), &limbs_, nullptr);
  } else if (&x == &limbs_ && &y != &limbs_ && y.size() == 1) {
    magnitude::divideSmall(limbs_, y[0]);  // x /= k, in place
  } else {
    LimbVector quotient;
    magnitude::divide(x.data(), x.size(), y.data(), y.size(), &quotient, nullptr);
    limbs_ = std::move(quotient);
  }
  finish(negative);
  return Refusal::none();
}

namespace {

// The remainder of magnitudes made the remainder of the language: for a negative dividend,
// counting up from the next lower multiple of |b| keeps it non-negative.
void makeNonNegative(LimbVector& rest, bool negativeDividend, const LimbVector& divisor) {
  if (negativeDividend && !rest.empty()) magnitude::subtractFromOther(rest, divisor.data(), divisor.size());
}

}  // namespace

Refusal BigInt::setRemainder(const BigInt& a, const BigInt& b) {
  if (b.signum() == 0) return Refusal::of("divdur0");
  bool negativeDividend = a.negative_;
  const LimbVector& x = a.limbs_;
  const LimbVector& y = b.limbs_;
  if (y.size() == 1) {
    // A one-limb divisor leaves a one-limb remainder, computed without writing a quotient.
    Limb divisor = y[0];
    Limb rest = magnitude::remainderSmall(x.data(), x.size(), divisor);
    if (negativeDividend && rest != 0) rest = divisor - rest;
    limbs_.clear();
    if (rest != 0) limbs_.push_back(rest);
  } else if (&x != &limbs_ && &y != &limbs_) {
    magnitude::divide(x.data(), x.size(), y.data(), y.size(), nullptr, &limbs_);
    makeNonNegative(limbs_, negativeDividend, y);
  } else {
    LimbVector rest;
    magnitude::divide(x.data(), x.size(), y.data(), y.size(), nullptr, &rest);
    makeNonNegative(rest, negativeDividend, y);
    limbs_ = std::move(rest);
  }
  finish(false);
  return Refusal::none();
}

BigInt operator*(const BigInt& a, const BigInt& b) {
  BigInt product;
  product.setProduct(a, b);
  return product;
}

BigInt& BigInt::operator*=(const BigInt& other) {
  setProduct(*this, other);
  return *this;
}

BigInt& BigInt::operator++() { return *this += BigInt(1); }

BigInt& BigInt::operator--() { return *this -= BigInt(1); }

bool operator==(const BigInt& a, const BigInt& b) {
  return a.hasValue_ == b.hasValue_ && a.negative_ == b.negative_ &&
         magnitude::compare(a.limbs_.data(), a.limbs_.size(), b.limbs_.data(), b.limbs_.size()) == 0;
}

std::strong_ordering operator<=>(const BigInt& a, const BigInt& b) {
  if (a.hasValue_ != b.hasValue_) return a.hasValue_ ? std::strong_ordering::greater : std::strong_ordering::less;
  if (a.negative_ != b.negative_) return a.negative_ ? std::strong_ordering::less : std::strong_ordering::greater;
  int order = magnitude::compare(a.limbs_.data(), a.limbs_.size(), b.limbs_.data(), b.limbs_.size());
  if (a.negative_) order = -order;
  return order < 0 ? std::strong_ordering::less : (order > 0 ? std::strong_ordering::greater : std::strong_ordering::equal);
}

Outcome<BigInt> divide(const BigInt& a, const BigInt& b) {
  BigInt quotient;
  if (Refusal refusal = quotient.setQuotient(a, b)) return Outcome<BigInt>::refusal(std::move(refusal));
  return Outcome<BigInt>::success(std::move(quotient));
}

Outcome<BigInt> remainder(const BigInt& a, const BigInt& b) {
  BigInt rest;
  if (Refusal refusal = rest.setRemainder(a, b)) return Outcome<BigInt>::refusal(std::move(refusal));
  return Outcome<BigInt>::success(std::move(rest));
}

Refusal divideWithRemainder(const BigInt& a, const BigInt& b, BigInt& quotient, BigInt& rest) {
  if (b.signum() == 0) return Refusal::of("divdur0");
  LimbVector quotientLimbs, restLimbs;
  magnitude::divide(a.limbs_.data(), a.limbs_.size(), b.limbs_.data(), b.limbs_.size(), &quotientLimbs, &restLimbs);
  makeNonNegative(restLimbs, a.negative_, b.limbs_);
  bool negativeQuotient = a.negative_ != b.negative_;
  quotient.limbs_ = std::move(quotientLimbs);
  quotient.finish(negativeQuotient);
  rest.limbs_ = std::move(restLimbs);
  rest.finish(false);
  return Refusal::none();
}

BigInt timesPowerOfTen(const BigInt& value, std::size_t count) {
  if (value.signum() == 0) return value.isEmpty() ? BigInt(0) : value;
  const LimbVector& limbs = value.limbs();
  std::size_t wholeLimbs = count / kLimbDigits;
  LimbVector shifted;
  shifted.resize(wholeLimbs + limbs.size());
  for (std::size_t i = 0; i < limbs.size(); ++i) shifted[wholeLimbs + i] = limbs[i];
  magnitude::multiplySmall(shifted, kPowersOfTen[count % kLimbDigits]);
  return BigInt::fromMagnitude(std::move(shifted), value.isNegative());
}

BigInt dividedByPowerOfTen(const BigInt& value, std::size_t count) {
  const LimbVector& limbs = value.limbs();
  std::size_t wholeLimbs = count / kLimbDigits;
  if (wholeLimbs >= limbs.size()) return BigInt(0);
  LimbVector shifted;
  shifted.assign(limbs.data() + wholeLimbs, limbs.size() - wholeLimbs);
  magnitude::divideSmall(shifted, kPowersOfTen[count % kLimbDigits]);
  return BigInt::fromMagnitude(std::move(shifted), value.isNegative());
}

}  // namespace kavor
