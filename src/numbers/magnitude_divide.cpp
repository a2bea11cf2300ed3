// Long division of magnitudes in base 10^9. Each quotient limb is estimated from the top
// four limbs of the running remainder and the top three of the divisor; that estimate is
// never too small and at most one too large, so neither operand needs the scaling (two extra
// passes and a copy of the divisor) of the textbook method, and the dividend's copy becomes
// the remainder in place.
#include <cstdint>
#include <cstring>

#include "numbers/magnitude.h"

namespace kavor::magnitude {

namespace {

using Wide = unsigned __int128;

// x[0..3) as one number, most significant limb x[2]; a limb below `x` counts as zero when
// `hasLow` is false (a two-limb divisor and its windows).
Wide topValue(const Limb* top, bool hasLow) {
  Wide value = (Wide{top[0]} * kLimbBase + top[-1]) * kLimbBase;
  if (hasLow) value += top[-2];
  return value;
}

// window[0..n] -= qHat * b[0..n); returns true when the result went below zero (the window
// then holds it plus 10^(9(n+1))).
bool subtractMultiple(Limb* window, const Limb* b, std::size_t n, std::uint64_t qHat) {
  // As in the multiplication by one limb, the products are split on their own and only the
  // borrow, 0, 1 or 2, runs from limb to limb.
  Limb high = 0;  // the upper limb of the previous product
  std::int64_t borrow = 0;
  constexpr std::int64_t kBase = kLimbBase;
  for (std::size_t i = 0; i < n; ++i) {
    std::uint64_t product = qHat * b[i];  // at most (10^9 - 1)^2
    Limb productHigh = static_cast<Limb>(divideByBase(product));
    std::int64_t low = static_cast<std::int64_t>(product - std::uint64_t{productHigh} * kLimbBase);
    std::int64_t value = std::int64_t{window[i]} - low - high - borrow;  // above -2 * 10^9
    borrow = (value < 0) + (value < -kBase);
    window[i] = static_cast<Limb>(value + borrow * kBase);
    high = productHigh;
  }
  std::int64_t top = std::int64_t{window[n]} - high - borrow;
  if (top >= 0) {
    window[n] = static_cast<Limb>(top);
    return false;
  }
  window[n] = static_cast<Limb>(top + kBase);
  return true;
}

// Quotient limbs below this are subtracted by subtractSmallMultiple.
constexpr std::uint64_t kSmallQuotientLimb = 1 << 20;

// subtractMultiple for qHat below kSmallQuotientLimb, in two passes that each run several
// limbs at a time: the product qHat * b into `multiple`, then the difference.
bool subtractSmallMultiple(Limb* window, const Limb* b, std::size_t n, std::uint64_t qHat, LimbVector& multiple) {
  multiple.resizeForOverwrite(n + 1);
  Limb* product = multiple.data();
  product[n] = static_cast<Limb>(multiplyLimbs(product, b, n, static_cast<std::uint32_t>(qHat)));
  return subtractLimbs(window, window, n + 1, product, n + 1) != 0;
}

// window[0..n] += b[0..n), dropping the carry out of the top: undoes one multiple too many.
void addBack(Limb* window, const Limb* b, std::size_t n) {
  Limb carry = addLimbs(window, window, n, b, n);
  Limb top = window[n] + carry;
  window[n] = top >= kLimbBase ? top - kLimbBase : top;
}

}  // namespace

void divide(const Limb* a, std::size_t aSize, const Limb* b, std::size_t bSize, LimbVector* quotient,
            LimbVector* remainder) {
  if (compare(a, aSize, b, bSize) < 0) {
    if (quotient != nullptr) quotient->clear();
    if (remainder != nullptr) remainder->assign(a, aSize);
    return;
  }
  if (bSize == 1) {
    Limb rest = quotient != nullptr ? divideSmall(*quotient, a, aSize, b[0]) : remainderSmall(a, aSize, b[0]);
    if (remainder != nullptr) {
      remainder->clear();
      if (rest != 0) remainder->push_back(rest);
    }
    return;
  }

  const std::size_t n = bSize;
  // With three or more limbs the divisor's top three stand for it; a two-limb divisor is
  // taken whole (times the base, so that both cases compare four-limb windows).
  const bool hasLow = n >= 3;
  const Wide divisorTop = topValue(b + n - 1, hasLow);
  if (remainder == nullptr && quotient != nullptr && aSize <= n + 1 && hasLow) {
    // A quotient below 10^18 lies between the top four limbs of a divided by the divisor's
    // top three rounded up and rounded down; where both give the same value, as they nearly
    // always do, that is the quotient and no pass over the limbs is needed.
    Wide top = (aSize > n ? Wide{a[n]} * kLimbBase * kLimbBase * kLimbBase : 0) + topValue(a + n - 1, true);
    Wide high = top / divisorTop;
    if (high == top / (divisorTop + 1)) {
      quotient->clear();
      for (; high != 0; high /= kLimbBase) quotient->push_back(static_cast<Limb>(high % kLimbBase));
      return;
    }
  }

  // The running remainder: a copy of a with one more (zero) limb on top, so that every
  // window below has n + 1 limbs.
  LimbVector local;
  LimbVector& u = remainder != nullptr ? *remainder : local;
  u.resizeForOverwrite(aSize + 1);
  Limb* un = u.data();
  std::memcpy(un, a, aSize * sizeof(Limb));
  un[aSize] = 0;

  const std::size_t quotientSize = aSize - n + 1;
  Limb* q = nullptr;
  if (quotient != nullptr) {
    quotient->resizeForOverwrite(quotientSize);
    q = quotient->data();
  }
  // Small quotient limbs, such as the one digit of a quotient of values of about the same
  // size, are taken off as a product made by the fast pass for small factors.
  LimbVector multiple;
  for (std::size_t j = quotientSize; j-- > 0;) {
    Limb* window = un + j;
    // The window is below b * 10^9, so its top four limbs over the divisor's top three give
    // an estimate at most one too large; the clamp keeps it a limb without going below.
    Wide top = Wide{window[n]} * kLimbBase * kLimbBase * kLimbBase + topValue(window + n - 1, hasLow);
    std::uint64_t qHat = top < divisorTop ? 0 : static_cast<std::uint64_t>(top / divisorTop);
    if (qHat >= kLimbBase) qHat = kLimbBase - 1;
    if (qHat != 0 && (qHat < kSmallQuotientLimb ? subtractSmallMultiple(window, b, n, qHat, multiple)
                                                 : subtractMultiple(window, b, n, qHat))) {
      --qHat;
      addBack(window, b, n);
    }
    if (q != nullptr) q[j] = static_cast<Limb>(qHat);
  }

  if (quotient != nullptr) quotient->trim();
  if (remainder != nullptr) {
    u.resizeForOverwrite(n);  // shrinking keeps the limbs
    u.trim();
  }
}

}  // namespace kavor::magnitude
