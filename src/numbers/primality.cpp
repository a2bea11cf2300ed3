// Primality: trial division by small primes, then Miller-Rabin with the twelve prime bases
// that decide every n below 2^64 exactly, and above that Baillie-PSW. Trial division up to
// the square root would not finish for numbers of thirty digits.
#include <cstdint>
#include <utility>
#include <vector>

#include "numbers/magnitude.h"
#include "numbers/number_theory.h"

namespace kavor {

namespace {

constexpr std::uint32_t kSmallPrimes[] = {2,  3,  5,  7,  11, 13, 17, 19, 23, 29, 31, 37, 41, 43, 47, 53,
                                          59, 61, 67, 71, 73, 79, 83, 89, 97, 101, 103, 107, 109, 113, 127, 131};

std::uint64_t multiplyModulo(std::uint64_t a, std::uint64_t b, std::uint64_t modulus) {
  return static_cast<std::uint64_t>(static_cast<unsigned __int128>(a) * b % modulus);
}

std::uint64_t powerModulo(std::uint64_t base, std::uint64_t exponent, std::uint64_t modulus) {
  std::uint64_t result = 1;
  base %= modulus;
  for (; exponent != 0; exponent >>= 1) {
    if (exponent & 1) result = multiplyModulo(result, base, modulus);
    base = multiplyModulo(base, base, modulus);
  }
  return result;
}

bool isPrimeMachine(std::uint64_t n) {
  if (n < 2) return false;
  for (std::uint32_t p : kSmallPrimes) {
    if (n % p == 0) return n == p;
  }
  std::uint64_t odd = n - 1;
  int twos = 0;
  for (; odd % 2 == 0; odd /= 2) ++twos;
  for (std::uint64_t witness : {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37}) {
    std::uint64_t x = powerModulo(witness, odd, n);
    if (x == 1 || x == n - 1) continue;
    bool passed = false;
    for (int i = 1; i < twos && !passed; ++i) {
      x = multiplyModulo(x, x, n);
      passed = x == n - 1;
    }
    if (!passed) return false;
  }
  return true;
}

// Arithmetic modulo an odd n on trimmed magnitudes in 0 .. n-1.
class Residues {
 public:
  explicit Residues(const LimbVector& modulus) : n_(modulus) {}

  const LimbVector& modulus() const { return n_; }

  LimbVector reduce(const LimbVector& value) const {
    LimbVector rest;
    magnitude::divide(value.data(), value.size(), n_.data(), n_.size(), nullptr, &rest);
    return rest;
  }
  LimbVector multiply(const LimbVector& a, const LimbVector& b) const {
    LimbVector product;
    magnitude::multiply(product, a.data(), a.size(), b.data(), b.size());
    return reduce(product);
  }
  LimbVector add(LimbVector a, const LimbVector& b) const {
    magnitude::addTo(a, b.data(), b.size());
    if (!isBelowModulus(a)) magnitude::subtractFrom(a, n_.data(), n_.size());
    return a;
  }
  LimbVector subtract(LimbVector a, const LimbVector& b) const {
    if (magnitude::compare(a.data(), a.size(), b.data(), b.size()) < 0) magnitude::addTo(a, n_.data(), n_.size());
    magnitude::subtractFrom(a, b.data(), b.size());
    return a;
  }
  // a / 2: an odd residue is first raised by the odd n.
  LimbVector half(LimbVector a) const {
    if (!a.empty() && a[0] % 2 != 0) magnitude::addTo(a, n_.data(), n_.size());
    magnitude::divideSmall(a, 2);
    return a;
  }
  bool isBelowModulus(const LimbVector& a) const {
    return magnitude::compare(a.data(), a.size(), n_.data(), n_.size()) < 0;
  }

 private:
  LimbVector n_;  // the odd modulus, above 2^64
};

bool equal(const LimbVector& a, const LimbVector& b) {
  return magnitude::compare(a.data(), a.size(), b.data(), b.size()) == 0;
}

LimbVector smallValue(std::uint32_t value) {
  LimbVector limbs;
  if (value != 0) limbs.push_back(value);
  return limbs;
}

// The bits of a magnitude, most significant first, without leading zeros.
std::vector<bool> bitsOf(LimbVector value) {
  std::vector<bool> bits;
  while (!value.empty()) {
    std::uint32_t chunk = magnitude::divideSmall(value, std::uint32_t{1} << 30);
    for (int i = 0; i < 30; ++i) bits.push_back((chunk >> i & 1) != 0);
  }
  while (!bits.empty() && !bits.back()) bits.pop_back();
  return {bits.rbegin(), bits.rend()};
}

// Splits value into odd * 2^twos.
std::pair<LimbVector, int> removeTwos(LimbVector value) {
  int twos = 0;
  while (!value.empty() && value[0] % 2 == 0) {
    magnitude::divideSmall(value, 2);
    ++twos;
  }
  return {std::move(value), twos};
}

bool strongProbablePrimeBaseTwo(const Residues& ring) {
  LimbVector nMinusOne = ring.modulus();
  magnitude::subtractSmall(nMinusOne, 1);
  auto [odd, twos] = removeTwos(nMinusOne);
  LimbVector x = smallValue(1);
  for (bool bit : bitsOf(odd)) {
    x = ring.multiply(x, x);
    if (bit) x = ring.add(x, x);
  }
  if (equal(x, smallValue(1)) || equal(x, nMinusOne)) return true;
  for (int i = 1; i < twos; ++i) {
    x = ring.multiply(x, x);
    if (equal(x, nMinusOne)) return true;
  }
  return false;
}

// The Jacobi symbol (a / m) for machine integers, m odd and positive.
int jacobi(std::uint64_t a, std::uint64_t m) {
  int result = 1;
  a %= m;
  while (a != 0) {
    while (a % 2 == 0) {
      a /= 2;
      if (m % 8 == 3 || m % 8 == 5) result = -result;
    }
    std::swap(a, m);
    if (a % 4 == 3 && m % 4 == 3) result = -result;
    a %= m;
  }
  return m == 1 ? result : 0;
}

// The Jacobi symbol (d / n) for a small d and a large odd n, by reciprocity. The residues
// of n modulo 4 and 8 come from its lowest limb, since 8 divides 10^9.
int jacobiOverLarge(std::int64_t d, const LimbVector& n) {
  int result = 1;
  std::uint32_t nMod8 = n[0] % 8;
  std::uint64_t a = d < 0 ? static_cast<std::uint64_t>(-d) : static_cast<std::uint64_t>(d);
  if (d < 0 && nMod8 % 4 == 3) result = -result;
  while (a % 2 == 0) {
    a /= 2;
    if (nMod8 == 3 || nMod8 == 5) result = -result;
  }
  if (a == 1) return result;
  if (a % 4 == 3 && nMod8 % 4 == 3) result = -result;
  return result * jacobi(magnitude::remainderSmall(n.data(), n.size(), static_cast<std::uint32_t>(a)), a);
}

bool isPerfectSquare(const LimbVector& n) {
  BigInt value = BigInt::fromMagnitude(n, false);
  BigInt root = integerSquareRoot(value).value;
  return root * root == value;
}

// The strong Lucas probable-prime test with Selfridge's parameters: D the first of 5, -7, 9,
// -11, ... with (D / n) = -1, P = 1, Q = (1 - D) / 4.
bool strongLucasProbablePrime(const Residues& ring) {
  const LimbVector& n = ring.modulus();
  std::int64_t d = 5;
  while (true) {
    int symbol = jacobiOverLarge(d, n);
    if (symbol == -1) break;
    if (symbol == 0) return false;  // |d| shares a factor with n, which is far larger than |d|
    // No d exists for a square, so test for one before the search would go on forever.
    if (d == 13 && isPerfectSquare(n)) return false;
    d = d > 0 ? -(d + 2) : -d + 2;
  }
  std::int64_t q = (1 - d) / 4;
  auto residueOf = [&](std::int64_t value) {
    LimbVector magnitude = smallValue(static_cast<std::uint32_t>(value < 0 ? -value : value));
    return value < 0 ? ring.subtract(LimbVector(), magnitude) : magnitude;
  };
  LimbVector dResidue = residueOf(d);
  LimbVector qResidue = residueOf(q);

  LimbVector nPlusOne = n;
  magnitude::addSmall(nPlusOne, 1);
  auto [odd, twos] = removeTwos(nPlusOne);

  // U_k, V_k and Q^k, from k = 1 up to k = odd along its bits.
  LimbVector u = smallValue(1);
  LimbVector v = smallValue(1);
  LimbVector qPower = qResidue;
  std::vector<bool> bits = bitsOf(odd);
  for (std::size_t i = 1; i < bits.size(); ++i) {
    u = ring.multiply(u, v);
    v = ring.subtract(ring.multiply(v, v), ring.add(qPower, qPower));
    qPower = ring.multiply(qPower, qPower);
    if (bits[i]) {
      LimbVector nextU = ring.half(ring.add(u, v));
      v = ring.half(ring.add(ring.multiply(dResidue, u), v));
      u = std::move(nextU);
      qPower = ring.multiply(qPower, qResidue);
    }
  }
  if (u.empty() || v.empty()) return true;
  for (int r = 1; r < twos; ++r) {
    v = ring.subtract(ring.multiply(v, v), ring.add(qPower, qPower));
    if (v.empty()) return true;
    qPower = ring.multiply(qPower, qPower);
  }
  return false;
}

}  // namespace

bool isPrime(const BigInt& n) {
  if (n.signum() <= 0) return false;
  if (auto machine = n.magnitudeToUnsigned()) return isPrimeMachine(*machine);
  const LimbVector& limbs = n.limbs();
  for (std::uint32_t p : kSmallPrimes) {
    if (magnitude::remainderSmall(limbs.data(), limbs.size(), p) == 0) return false;
  }
  Residues ring(limbs);
  return strongProbablePrimeBaseTwo(ring) && strongLucasProbablePrime(ring);
}

}  // namespace kavor
