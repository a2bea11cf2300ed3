// Multiplication of a long magnitude by one limb, the commonest product of all (n * 2,
// x *= k). Each limb's product must be split into its two base-10^9 limbs, and that split,
// not the carry, is what the time goes into: two multiplications per limb on top of the
// product itself. Where the processor has 256-bit integer vectors, four limbs are split at a
// time, with the quotient by 10^9 taken in floating point.
#include <cstdint>

#include "numbers/limb_vectors.h"
#include "numbers/magnitude.h"

namespace kavor::magnitude {

namespace {

// r[from..size) = a * factor given the upper limb `high` carried into limb `from`; returns
// the carry out of the top limb.
std::uint64_t multiplyLimbsFrom(Limb* r, const Limb* a, std::size_t from, std::size_t size, std::uint32_t factor,
                                std::uint64_t high) {
  if (factor < kLimbBase) {
    // Each limb product is split into its two limbs on its own; only the addition of the
    // previous product's upper limb carries from limb to limb. That keeps the slow
    // division by the base out of the chain that runs through every limb.
    Limb carried = static_cast<Limb>(high);  // the previous product's upper limb plus the carry of its sum
    for (std::size_t i = from; i < size; ++i) {
      std::uint64_t product = std::uint64_t{a[i]} * factor;  // at most (10^9 - 1)^2
      Limb productHigh = static_cast<Limb>(divideByBase(product));  // at most 10^9 - 2
      Limb sum = static_cast<Limb>(product - std::uint64_t{productHigh} * kLimbBase) + carried;
      Limb carry = sum >= kLimbBase;
      r[i] = sum - (kLimbBase & (0 - carry));
      carried = productHigh + carry;
    }
    return carried;
  }
  std::uint64_t carry = high;
  for (std::size_t i = from; i < size; ++i) {
    std::uint64_t t = std::uint64_t{a[i]} * factor + carry;  // below 4.3 * 10^18
    carry = t / kLimbBase;
    r[i] = static_cast<Limb>(t - carry * kLimbBase);
  }
  return carry;
}

#ifdef KAVOR_LIMB_VECTORS

// Factors below this keep every limb product below 10^9 * 2^20: a double holds it exactly,
// and its quotient by the base comes out of one multiplication close enough to round right.
constexpr std::uint32_t kVectorFactorLimit = 1u << 20;

// multiplyLimbsFrom for factors below kVectorFactorLimit, four limbs at a time. Lane by lane:
// the product p becomes a double exactly, and p * 10^-9 - (0.5 - 0.5 * 10^-9) rounded to an
// integer is its quotient by the base: the fraction of p / 10^9 is a multiple of 10^-9, and
// the two roundings on the way err by less than 0.4 * 10^-9, so the value lies strictly
// within half of the quotient. The sum of a limb's remainder and the quotient from below may
// reach the base once; its carry then goes one lane up. Only when that carry meets a sum of
// exactly 10^9 - 1 would it run on further; such a group of four (rare except in runs of
// nines) is done one limb at a time instead.
__attribute__((target("avx2"))) std::uint64_t multiplyLimbsVector(Limb* r, const Limb* a, std::size_t size,
                                                                    std::uint32_t factor) {
  const __m256i vectorFactor = _mm256_set1_epi64x(factor);
  const __m256i base = _mm256_set1_epi64x(kLimbBase);
  const __m256i baseMinusOne = _mm256_set1_epi64x(kLimbBase - 1);
  const __m256d twoTo52 = _mm256_set1_pd(4503599627370496.0);
  const __m256i twoTo52Bits = _mm256_castpd_si256(twoTo52);
  const __m256d inverseBase = _mm256_set1_pd(1e-9);
  const __m256d belowHalf = _mm256_set1_pd(0.5 - 0.5e-9);
  // Adding 1.5 * 2^52 rounds a value in -0.5 .. 2^51 to an integer, which is then the low
  // bits of the sum's representation.
  const __m256d rounder = _mm256_set1_pd(6755399441055744.0);
  const __m256i rounderBits = _mm256_castpd_si256(rounder);
  const __m256i lowHalves = _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6);

  // What the lane below the next group passes up: the quotient of its product, and its carry
  // as -1 where its sum reached the base, both in the top lane.
  __m256i quotientBelow = _mm256_setzero_si256();
  __m256i carryBelow = _mm256_setzero_si256();
  std::size_t i = 0;
  for (; i + 4 <= size; i += 4) {
    __m256i limbs = _mm256_cvtepu32_epi64(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i)));
    __m256i product = _mm256_mul_epu32(limbs, vectorFactor);
    __m256d exact = _mm256_sub_pd(_mm256_castsi256_pd(_mm256_or_si256(product, twoTo52Bits)), twoTo52);
    __m256d rounded = _mm256_add_pd(_mm256_sub_pd(_mm256_mul_pd(exact, inverseBase), belowHalf), rounder);
    __m256i quotient = _mm256_sub_epi64(_mm256_castpd_si256(rounded), rounderBits);
    __m256i rest = _mm256_sub_epi64(product, _mm256_mul_epu32(quotient, base));

    __m256i sum = _mm256_add_epi64(rest, fromBelow<8>(quotient, quotientBelow));
    __m256i carry = _mm256_cmpgt_epi64(sum, baseMinusOne);
    sum = _mm256_sub_epi64(_mm256_sub_epi64(sum, _mm256_and_si256(carry, base)), fromBelow<8>(carry, carryBelow));
    __m256i runsOn = _mm256_cmpeq_epi64(sum, base);
    if (!_mm256_testz_si256(runsOn, runsOn)) {
      std::uint64_t high = multiplyLimbsFrom(r, a, i, i + 4, factor,
                                             static_cast<std::uint64_t>(_mm256_extract_epi64(quotientBelow, 3)) -
                                                 static_cast<std::uint64_t>(_mm256_extract_epi64(carryBelow, 3)));
      quotientBelow = _mm256_set1_epi64x(static_cast<std::int64_t>(high));
      carryBelow = _mm256_setzero_si256();
      continue;
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(r + i),
                     _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(sum, lowHalves)));
    quotientBelow = quotient;
    carryBelow = carry;
  }
  std::uint64_t high = static_cast<std::uint64_t>(_mm256_extract_epi64(quotientBelow, 3)) -
                       static_cast<std::uint64_t>(_mm256_extract_epi64(carryBelow, 3));
  return multiplyLimbsFrom(r, a, i, size, factor, high);
}

#endif

}  // namespace

std::uint64_t multiplyLimbs(Limb* r, const Limb* a, std::size_t size, std::uint32_t factor) {
#ifdef KAVOR_LIMB_VECTORS
  // Short values are not worth the set-up.
  if (size >= 8 && factor < kVectorFactorLimit && hasVectors()) return multiplyLimbsVector(r, a, size, factor);
#endif
  return multiplyLimbsFrom(r, a, 0, size, factor, 0);
}

}  // namespace kavor::magnitude
