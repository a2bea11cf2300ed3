// Multiplication of very long magnitudes by number-theoretic transforms: the limb sequences
// are convolved modulo three primes of the form c * 2^k + 1 and the exact column sums are
// rebuilt by the Chinese remainder theorem. Each column sum is below
// min(aSize, bSize) * 10^18 < 2^26 * 10^18, far below the product of the three primes (about
// 1.7 * 10^27), so the rebuilt sums are exact.
#include <cstdint>
#include <utility>
#include <vector>

#include "numbers/magnitude_transform.h"

namespace kavor::magnitude {

namespace {

using Residue = std::uint32_t;

template <Residue kPrime, Residue kGenerator>
struct PrimeField {
  static Residue multiply(Residue a, Residue b) { return static_cast<Residue>(std::uint64_t{a} * b % kPrime); }
  static Residue add(Residue a, Residue b) {
    Residue sum = a + b;  // both below 2^31, so no overflow
    return sum >= kPrime ? sum - kPrime : sum;
  }
  static Residue subtract(Residue a, Residue b) { return a >= b ? a - b : a + kPrime - b; }
  static Residue power(Residue base, std::uint64_t exponent) {
    Residue result = 1;
    for (; exponent != 0; exponent >>= 1) {
      if (exponent & 1) result = multiply(result, base);
      base = multiply(base, base);
    }
    return result;
  }

  // In-place iterative transform of a length that is a power of two.
  static void transform(std::vector<Residue>& values, bool inverse) {
    std::size_t size = values.size();
    for (std::size_t i = 1, j = 0; i < size; ++i) {
      std::size_t bit = size >> 1;
      for (; j & bit; bit >>= 1) j ^= bit;
      j ^= bit;
      if (i < j) std::swap(values[i], values[j]);
    }
    // Each root carries its Shoup factor floor(root * 2^32 / kPrime), which turns the
    // multiplication modulo kPrime in the inner loop into two multiplications and a shift.
    std::vector<Residue> roots;
    std::vector<Residue> shoupFactors;
    for (std::size_t length = 2; length <= size; length <<= 1) {
      Residue step = power(kGenerator, (kPrime - 1) / length);
      if (inverse) step = power(step, kPrime - 2);
      std::size_t half = length / 2;
      roots.resize(half);
      shoupFactors.resize(half);
      roots[0] = 1;
      for (std::size_t j = 1; j < half; ++j) roots[j] = multiply(roots[j - 1], step);
      for (std::size_t j = 0; j < half; ++j)
        shoupFactors[j] = static_cast<Residue>((std::uint64_t{roots[j]} << 32) / kPrime);
      for (std::size_t start = 0; start < size; start += length) {
        Residue* low = values.data() + start;
        Residue* high = low + half;
        for (std::size_t j = 0; j < half; ++j) {
          Residue u = low[j];
          Residue quotient = static_cast<Residue>((std::uint64_t{high[j]} * shoupFactors[j]) >> 32);
          Residue v = high[j] * roots[j] - quotient * kPrime;  // modulo 2^32; lies in 0 .. 2p-1
          if (v >= kPrime) v -= kPrime;
          low[j] = add(u, v);
          high[j] = subtract(u, v);
        }
      }
    }
    if (inverse) {
      Residue scale = power(static_cast<Residue>(size % kPrime), kPrime - 2);
      for (Residue& value : values) value = multiply(value, scale);
    }
  }

  // The cyclic convolution of a and b modulo kPrime, of the given power-of-two length.
  static std::vector<Residue> convolve(const Limb* a, std::size_t aSize, const Limb* b, std::size_t bSize,
                                       std::size_t length) {
    std::vector<Residue> first(length, 0);
    for (std::size_t i = 0; i < aSize; ++i) first[i] = a[i] % kPrime;
    transform(first, false);
    if (a == b && aSize == bSize) {
      for (Residue& value : first) value = multiply(value, value);
    } else {
      std::vector<Residue> second(length, 0);
      for (std::size_t i = 0; i < bSize; ++i) second[i] = b[i] % kPrime;
      transform(second, false);
      for (std::size_t i = 0; i < length; ++i) first[i] = multiply(first[i], second[i]);
    }
    transform(first, true);
    return first;
  }
};

constexpr Residue kPrime1 = 469762049;   // 7 * 2^26 + 1
constexpr Residue kPrime2 = 2013265921;  // 15 * 2^27 + 1
constexpr Residue kPrime3 = 1811939329;  // 27 * 2^26 + 1
using Field1 = PrimeField<kPrime1, 3>;
using Field2 = PrimeField<kPrime2, 31>;
using Field3 = PrimeField<kPrime3, 13>;

}  // namespace

bool fitsTransform(std::size_t aSize, std::size_t bSize) { return aSize + bSize <= kMaxTransformLength; }

void multiplyByTransform(Limb* out, const Limb* a, std::size_t aSize, const Limb* b, std::size_t bSize) {
  std::size_t total = aSize + bSize;
  std::size_t length = 1;
  while (length < total) length <<= 1;
  std::vector<Residue> r1 = Field1::convolve(a, aSize, b, bSize, length);
  std::vector<Residue> r2 = Field2::convolve(a, aSize, b, bSize, length);
  std::vector<Residue> r3 = Field3::convolve(a, aSize, b, bSize, length);

  // Garner's form: sum = r1 + p1 * t2 + p1 * p2 * t3 with t2 < p2 and t3 < p3.
  const Residue p1InverseModP2 = Field2::power(kPrime1 % kPrime2, kPrime2 - 2);
  const Residue p1p2InverseModP3 =
      Field3::power(static_cast<Residue>(std::uint64_t{kPrime1} * kPrime2 % kPrime3), kPrime3 - 2);
  const std::uint64_t p1p2 = std::uint64_t{kPrime1} * kPrime2;
  unsigned __int128 carry = 0;
  for (std::size_t i = 0; i < total; ++i) {
    Residue t2 = Field2::multiply(Field2::subtract(r2[i], r1[i] % kPrime2), p1InverseModP2);
    // x12 = r1 + p1 * t2 is the sum modulo p1 * p2; t3 lifts it to modulo p1 * p2 * p3.
    std::uint64_t x12 = r1[i] + std::uint64_t{kPrime1} * t2;
    Residue t3 = Field3::multiply(Field3::subtract(r3[i], static_cast<Residue>(x12 % kPrime3)), p1p2InverseModP3);
    unsigned __int128 column = x12 + static_cast<unsigned __int128>(p1p2) * t3 + carry;
    out[i] = static_cast<Limb>(column % kLimbBase);
    carry = column / kLimbBase;
  }
}

}  // namespace kavor::magnitude
