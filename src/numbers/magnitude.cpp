#include "numbers/magnitude.h"

#include <algorithm>

namespace kavor::magnitude {

int compare(const Limb* a, std::size_t aSize, const Limb* b, std::size_t bSize) {
  if (aSize != bSize) return aSize < bSize ? -1 : 1;
  for (std::size_t i = aSize; i-- > 0;) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  return 0;
}

void addTo(LimbVector& acc, const Limb* b, std::size_t bSize) {
  std::size_t size = std::max(acc.size(), bSize);
  acc.resize(size + 1);
  Limb* r = acc.data();
  Limb carry = 0;
  std::size_t i = 0;
  for (; i < bSize; ++i) {
    Limb sum = r[i] + b[i] + carry;  // below 2 * 10^9 + 1, inside 32 bits
    carry = sum >= kLimbBase;
    r[i] = carry ? sum - kLimbBase : sum;
  }
  for (; carry != 0 && i <= size; ++i) {
    Limb sum = r[i] + carry;
    carry = sum >= kLimbBase;
    r[i] = carry ? sum - kLimbBase : sum;
  }
  acc.trim();
}

void subtractFrom(LimbVector& acc, const Limb* b, std::size_t bSize) {
  Limb* r = acc.data();
  Limb borrow = 0;
  std::size_t i = 0;
  for (; i < bSize; ++i) {
    Limb take = b[i] + borrow;
    borrow = r[i] < take;
    r[i] = borrow ? r[i] + kLimbBase - take : r[i] - take;
  }
  for (; borrow != 0 && i < acc.size(); ++i) {
    borrow = r[i] == 0;
    r[i] = borrow ? kLimbBase - 1 : r[i] - 1;
  }
  acc.trim();
}

void subtractFromOther(LimbVector& acc, const Limb* b, std::size_t bSize) {
  std::size_t accSize = acc.size();
  acc.resize(bSize);
  Limb* r = acc.data();
  Limb borrow = 0;
  for (std::size_t i = 0; i < bSize; ++i) {
    Limb take = (i < accSize ? r[i] : 0) + borrow;
    borrow = b[i] < take;
    r[i] = borrow ? b[i] + kLimbBase - take : b[i] - take;
  }
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
  Limb* r = acc.data();
  std::uint64_t carry = 0;
  for (std::size_t i = 0; i < acc.size(); ++i) {
    std::uint64_t t = std::uint64_t{r[i]} * factor + carry;  // below 4.3 * 10^18
    r[i] = static_cast<Limb>(t % kLimbBase);
    carry = t / kLimbBase;
  }
  while (carry != 0) {
    acc.push_back(static_cast<Limb>(carry % kLimbBase));
    carry /= kLimbBase;
  }
}

std::uint32_t divideSmall(LimbVector& acc, std::uint32_t divisor) {
  Limb* r = acc.data();
  std::uint64_t rest = 0;
  for (std::size_t i = acc.size(); i-- > 0;) {
    std::uint64_t t = rest * kLimbBase + r[i];  // rest < 2^32, so t < 4.3 * 10^18
    r[i] = static_cast<Limb>(t / divisor);
    rest = t % divisor;
  }
  acc.trim();
  return static_cast<std::uint32_t>(rest);
}

std::uint32_t remainderSmall(const Limb* a, std::size_t aSize, std::uint32_t divisor) {
  std::uint64_t rest = 0;
  for (std::size_t i = aSize; i-- > 0;) rest = (rest * kLimbBase + a[i]) % divisor;
  return static_cast<std::uint32_t>(rest);
}

}  // namespace kavor::magnitude
