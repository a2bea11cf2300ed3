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

BigInt operator*(const BigInt& a, const BigInt& b) {
  LimbVector product;
  magnitude::multiply(product, a.limbs_.data(), a.limbs_.size(), b.limbs_.data(), b.limbs_.size());
  return BigInt::fromMagnitude(std::move(product), a.negative_ != b.negative_);
}

BigInt& BigInt::operator*=(const BigInt& other) {
  *this = *this * other;
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
  if (b.signum() == 0) return Outcome<BigInt>::refusal(Refusal::of("divdur0"));
  LimbVector quotient;
  magnitude::divide(a.limbs().data(), a.limbs().size(), b.limbs().data(), b.limbs().size(), &quotient, nullptr);
  return Outcome<BigInt>::success(BigInt::fromMagnitude(std::move(quotient), a.isNegative() != b.isNegative()));
}

Outcome<BigInt> remainder(const BigInt& a, const BigInt& b) {
  if (b.signum() == 0) return Outcome<BigInt>::refusal(Refusal::of("divdur0"));
  LimbVector rest;
  magnitude::divide(a.limbs().data(), a.limbs().size(), b.limbs().data(), b.limbs().size(), nullptr, &rest);
  if (a.isNegative() && !rest.empty()) {
    // Counting up from the next lower multiple of |b| keeps the remainder non-negative.
    magnitude::subtractFromOther(rest, b.limbs().data(), b.limbs().size());
  }
  return Outcome<BigInt>::success(BigInt::fromMagnitude(std::move(rest), false));
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
