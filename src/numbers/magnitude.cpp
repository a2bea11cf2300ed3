#include "numbers/magnitude.h"

#include <algorithm>
#include <cstring>

#include "numbers/limb_vectors.h"

namespace kavor::magnitude {

namespace {

// Division of 64-bit values by one divisor below 2^32, many times over: a multiplication by
// a precomputed reciprocal instead of a hardware division per limb, which is several times
// slower and dominates dividing a long value by a small one.
class SmallDivisor {
 public:
  explicit SmallDivisor(std::uint32_t divisor) : divisor_(divisor), inverse_(UINT64_MAX / divisor) {}
  // value / divisor, with value % divisor in `rest`. The reciprocal is rounded down, so the
  // estimate is the quotient or one below it (value < 2^64 keeps the error under 1).
  std::uint64_t divide(std::uint64_t value, std::uint64_t& rest) const {
    std::uint64_t quotient = static_cast<std::uint64_t>((static_cast<unsigned __int128>(value) * inverse_) >> 64);
    rest = value - quotient * divisor_;
    if (rest >= divisor_) {
      rest -= divisor_;
      ++quotient;
    }
    return quotient;
  }

 private:
  std::uint64_t divisor_;  // the divisor, 1 .. 2^32-1
  std::uint64_t inverse_;  // floor((2^64 - 1) / divisor_)
};

// q[0..size) = a / divisor (q may be a); returns the remainder.
std::uint32_t divideLimbs(Limb* q, const Limb* a, std::size_t size, std::uint32_t divisor) {
  SmallDivisor by(divisor);
  std::uint64_t rest = 0;
  for (std::size_t i = size; i-- > 0;) {
    // rest < divisor < 2^32, so the value stays below 4.3 * 10^18.
    q[i] = static_cast<Limb>(by.divide(rest * kLimbBase + a[i], rest));
  }
  return static_cast<std::uint32_t>(rest);
}

// The carry and borrow chains that run through every limb of a sum or difference are the
// one thing such a pass cannot overlap, so each link is an addition and a shift: the limb sum
// is offset by kToWrap so that it reaches 2^32 exactly when it reaches the base, and a
// difference below zero wraps to a value whose top bit is set. Both are arithmetic rather than
// a choice, so that the compiler makes no branch of them either: the carries of a long value
// are random, and a mispredicted branch per limb costs more than the rest.
constexpr std::uint64_t kToWrap = (std::uint64_t{1} << 32) - kLimbBase;

// x + y + carry (carry 0 or 1) as a limb, with the carry out of it.
inline Limb addWithCarry(Limb x, Limb y, std::uint64_t& carry) {
  std::uint64_t sum = std::uint64_t{x} + y + kToWrap + carry;
  carry = sum >> 32;
  return static_cast<Limb>(sum) - static_cast<Limb>(kToWrap & (carry - 1));
}

// x - y - borrow (borrow 0 or 1) as a limb, with the borrow out of it.
inline Limb subtractWithBorrow(Limb x, Limb y, std::uint64_t& borrow) {
  std::uint64_t difference = std::uint64_t{x} - y - borrow;
  borrow = difference >> 63;
  return static_cast<Limb>(difference) + (kLimbBase & static_cast<Limb>(0 - borrow));
}

// r[0..size) = x + y or x - y, by `one` limb at a time or, for long runs where the processor
// can, by `groups` of them; returns the carry or borrow out of the top limb. `r` may be x or y.
template <Limb (*one)(Limb, Limb, std::uint64_t&),
          std::size_t (*groups)(Limb*, const Limb*, const Limb*, std::size_t, std::size_t, std::uint64_t&)>
std::uint64_t combineLimbs(Limb* r, const Limb* x, const Limb* y, std::size_t size) {
  std::uint64_t carry = 0;
  std::size_t i = 0;
#ifdef KAVOR_LIMB_VECTORS
  if (size >= 2 * kVectorAddGroup && hasVectors()) {
    // A group whose carry would run on is done limb by limb, and the groups go on after it.
    while ((i = groups(r, x, y, i, size, carry)) + kVectorAddGroup <= size) {
      for (std::size_t end = i + kVectorAddGroup; i < end; ++i) r[i] = one(x[i], y[i], carry);
    }
  }
#endif
  for (; i < size; ++i) r[i] = one(x[i], y[i], carry);
  return carry;
}

#ifndef KAVOR_LIMB_VECTORS
// Never called: without vectors there are no groups.
std::size_t addGroups(Limb*, const Limb*, const Limb*, std::size_t from, std::size_t, std::uint64_t&) { return from; }
std::size_t subtractGroups(Limb*, const Limb*, const Limb*, std::size_t from, std::size_t, std::uint64_t&) {
  return from;
}
#endif

void appendCarry(LimbVector& acc, std::uint64_t carry) {
  while (carry != 0) {
    acc.push_back(static_cast<Limb>(carry % kLimbBase));
    carry /= kLimbBase;
  }
}

}  // namespace

int compare(const Limb* a, std::size_t aSize, const Limb* b, std::size_t bSize) {
  if (aSize != bSize) return aSize < bSize ? -1 : 1;
  for (std::size_t i = aSize; i-- > 0;) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  return 0;
}

Limb addLimbs(Limb* r, const Limb* a, std::size_t aSize, const Limb* b, std::size_t bSize) {
  std::uint64_t carry = combineLimbs<addWithCarry, addGroups>(r, a, b, bSize);
  std::size_t i = bSize;
  for (; carry != 0 && i < aSize; ++i) {
    Limb sum = a[i] + 1;
    carry = sum == kLimbBase;
    r[i] = carry ? 0 : sum;
  }
  // Past the carry the limbs of a are copied unchanged (nothing to do in place).
  if (r != a && i < aSize) std::memcpy(r + i, a + i, (aSize - i) * sizeof(Limb));
  return carry;
}

Limb subtractLimbs(Limb* r, const Limb* a, std::size_t aSize, const Limb* b, std::size_t bSize) {
  std::uint64_t borrow = combineLimbs<subtractWithBorrow, subtractGroups>(r, a, b, bSize);
  std::size_t i = bSize;
  for (; borrow != 0 && i < aSize; ++i) {
    borrow = a[i] == 0;
    r[i] = borrow ? kLimbBase - 1 : a[i] - 1;
  }
  if (r != a && i < aSize) std::memcpy(r + i, a + i, (aSize - i) * sizeof(Limb));
  return borrow;
}

void add(LimbVector& sum, const Limb* a, std::size_t aSize, const Limb* b, std::size_t bSize) {
  if (aSize < bSize) {
    std::swap(a, b);
    std::swap(aSize, bSize);
  }
  sum.resizeForOverwrite(aSize + 1);
  Limb* r = sum.data();
  r[aSize] = addLimbs(r, a, aSize, b, bSize);
  sum.trim();
}

void subtract(LimbVector& difference, const Limb* a, std::size_t aSize, const Limb* b, std::size_t bSize) {
  difference.resizeForOverwrite(aSize);
  subtractLimbs(difference.data(), a, aSize, b, bSize);
  difference.trim();
}

void addTo(LimbVector& acc, const Limb* b, std::size_t bSize) {
  std::size_t aSize = acc.size();
  if (aSize >= bSize) {
    Limb carry = addLimbs(acc.data(), acc.data(), aSize, b, bSize);
    if (carry != 0) acc.push_back(carry);
    return;
  }
  // The longer addend's top limbs are copied behind the sum of the common part.
  acc.resizeKeeping(bSize + 1);
  Limb* r = acc.data();
  r[bSize] = addLimbs(r, b, bSize, r, aSize);
  acc.trim();
}

void subtractFrom(LimbVector& acc, const Limb* b, std::size_t bSize) {
  subtractLimbs(acc.data(), acc.data(), acc.size(), b, bSize);
  acc.trim();
}

void subtractFromOther(LimbVector& acc, const Limb* b, std::size_t bSize) {
  std::size_t accSize = acc.size();
  acc.resizeKeeping(bSize);
  Limb* r = acc.data();
  std::uint64_t borrow = combineLimbs<subtractWithBorrow, subtractGroups>(r, b, r, accSize);
  std::size_t i = accSize;
  for (; borrow != 0 && i < bSize; ++i) {
    borrow = b[i] == 0;
    r[i] = borrow ? kLimbBase - 1 : b[i] - 1;
  }
  if (i < bSize) std::memcpy(r + i, b + i, (bSize - i) * sizeof(Limb));
  acc.trim();
}

void addSmall(LimbVector& acc, Limb small) {
  Limb one[1] = {small};
  if (small != 0) addTo(acc, one, 1);
}

void subtractSmall(LimbVector& acc, Limb small) {
  Limb one[1] = {small};
  if (small != 0) subtractFrom(acc, one, 1);
}

void multiplySmall(LimbVector& acc, std::uint32_t factor) {
  if (factor == 0) {
    acc.clear();
    return;
  }
  appendCarry(acc, multiplyLimbs(acc.data(), acc.data(), acc.size(), factor));
}

void multiplySmall(LimbVector& product, const Limb* a, std::size_t aSize, std::uint32_t factor) {
  if (factor == 0 || aSize == 0) {
    product.clear();
    return;
  }
  // A factor below 2^32 adds at most two limbs; reserving both up front keeps the carry
  // from reallocating.
  product.resizeForOverwrite(aSize + 2);
  Limb* r = product.data();
  std::uint64_t carry = multiplyLimbs(r, a, aSize, factor);
  r[aSize] = static_cast<Limb>(carry % kLimbBase);
  r[aSize + 1] = static_cast<Limb>(carry / kLimbBase);
  product.trim();
}

std::uint32_t divideSmall(LimbVector& acc, std::uint32_t divisor) {
  std::uint32_t rest = divideLimbs(acc.data(), acc.data(), acc.size(), divisor);
  acc.trim();
  return rest;
}

std::uint32_t divideSmall(LimbVector& quotient, const Limb* a, std::size_t aSize, std::uint32_t divisor) {
  quotient.resizeForOverwrite(aSize);
  std::uint32_t rest = divideLimbs(quotient.data(), a, aSize, divisor);
  quotient.trim();
  return rest;
}

std::uint32_t remainderSmall(const Limb* a, std::size_t aSize, std::uint32_t divisor) {
  SmallDivisor by(divisor);
  std::uint64_t rest = 0;
  for (std::size_t i = aSize; i-- > 0;) by.divide(rest * kLimbBase + a[i], rest);
  return static_cast<std::uint32_t>(rest);
}

}  // namespace kavor::magnitude
