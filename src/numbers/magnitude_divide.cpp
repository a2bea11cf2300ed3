// Long division of magnitudes in base 10^9 (Knuth's algorithm D): the divisor is scaled so
// that its top limb is at least half the base, which makes each estimated quotient limb at
// most one too large.
#include <cstdint>

#include "numbers/magnitude.h"

namespace kavor::magnitude {

namespace {

void setQuotientToZero(LimbVector* quotient) {
  if (quotient != nullptr) quotient->clear();
}

void setRemainderTo(LimbVector* remainder, const Limb* a, std::size_t aSize) {
  if (remainder != nullptr) remainder->assign(a, aSize);
}

}  // namespace

void divide(const Limb* a, std::size_t aSize, const Limb* b, std::size_t bSize, LimbVector* quotient,
            LimbVector* remainder) {
  if (compare(a, aSize, b, bSize) < 0) {
    setQuotientToZero(quotient);
    setRemainderTo(remainder, a, aSize);
    return;
  }
  if (bSize == 1) {
    LimbVector q;
    q.assign(a, aSize);
    Limb rest = divideSmall(q, b[0]);
    if (quotient != nullptr) *quotient = std::move(q);
    if (remainder != nullptr) {
      remainder->clear();
      if (rest != 0) remainder->push_back(rest);
    }
    return;
  }

  const Limb scale = kLimbBase / (b[bSize - 1] + 1);
  LimbVector u;
  u.assign(a, aSize);
  multiplySmall(u, scale);
  u.resize(aSize + 1);  // the scaled dividend gets one extra top limb, possibly zero
  LimbVector v;
  v.assign(b, bSize);
  multiplySmall(v, scale);  // keeps bSize limbs: the top limb stays below the base

  const std::size_t n = bSize;
  const std::size_t quotientSize = aSize - n + 1;
  LimbVector q;
  q.resize(quotientSize);
  Limb* un = u.data();
  const Limb* vn = v.data();
  const std::uint64_t vTop = vn[n - 1];
  const std::uint64_t vNext = vn[n - 2];

  for (std::size_t j = quotientSize; j-- > 0;) {
    std::uint64_t top = std::uint64_t{un[j + n]} * kLimbBase + un[j + n - 1];
    std::uint64_t qHat = top / vTop;
    std::uint64_t rHat = top % vTop;
    while (qHat >= kLimbBase || qHat * vNext > rHat * kLimbBase + un[j + n - 2]) {
      --qHat;
      rHat += vTop;
      if (rHat >= kLimbBase) break;
    }

    // un[j..j+n] -= qHat * vn, limb by limb, tracking the borrow.
    std::uint64_t carry = 0;
    std::int64_t borrow = 0;
    for (std::size_t i = 0; i < n; ++i) {
      std::uint64_t product = qHat * vn[i] + carry;
      carry = product / kLimbBase;
      std::int64_t t = std::int64_t{un[i + j]} - static_cast<std::int64_t>(product % kLimbBase) + borrow;
      borrow = t < 0 ? -1 : 0;
      un[i + j] = static_cast<Limb>(t < 0 ? t + kLimbBase : t);
    }
    std::int64_t topLimb = std::int64_t{un[j + n]} - static_cast<std::int64_t>(carry) + borrow;
    if (topLimb < 0) {
      // qHat was one too large: add the divisor back; the carry out cancels topLimb.
      --qHat;
      Limb addCarry = 0;
      for (std::size_t i = 0; i < n; ++i) {
        Limb sum = un[i + j] + vn[i] + addCarry;
        addCarry = sum >= kLimbBase;
        un[i + j] = addCarry ? sum - kLimbBase : sum;
      }
      topLimb = 0;
    }
    un[j + n] = static_cast<Limb>(topLimb);
    q[j] = static_cast<Limb>(qHat);
  }

  if (quotient != nullptr) {
    q.trim();
    *quotient = std::move(q);
  }
  if (remainder != nullptr) {
    u.resize(n);
    u.trim();
    divideSmall(u, scale);  // undo the scaling; exact
    *remainder = std::move(u);
  }
}

}  // namespace kavor::magnitude
