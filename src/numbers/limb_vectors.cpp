#include "numbers/limb_vectors.h"

#ifdef KAVOR_LIMB_VECTORS

namespace kavor::magnitude {

namespace {

__attribute__((target("avx2"))) inline __m256i load(const Limb* limbs) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(limbs));
}

// The carry or borrow out of a group, kept as -1 in its top lane, as 0 or 1.
__attribute__((target("avx2"))) inline std::uint64_t topLane(__m256i mask) {
  return static_cast<std::uint32_t>(_mm256_extract_epi32(mask, 7)) & 1;
}

// One group of limb sums: a limb sum stays below 2^31, so the signed comparisons of 32-bit
// lanes order it. A lane whose sum reached the base gives 10^9 back and passes -1 up; taking
// that -1 away from the lane above adds its carry, and only a lane that then holds the base
// again would carry on.
struct Sums {
  __attribute__((target("avx2"))) static __m256i limbs(__m256i x, __m256i y, __m256i below, __m256i& passed) {
    const __m256i base = _mm256_set1_epi32(static_cast<int>(kLimbBase));
    __m256i sum = _mm256_add_epi32(x, y);
    passed = _mm256_cmpgt_epi32(sum, _mm256_set1_epi32(static_cast<int>(kLimbBase - 1)));
    return _mm256_sub_epi32(_mm256_sub_epi32(sum, _mm256_and_si256(passed, base)), fromBelow<4>(passed, below));
  }
  static constexpr int kRunsOn = static_cast<int>(kLimbBase);
};

// The same for differences: a lane below zero borrows 10^9 and passes -1 up, and only a lane
// that then holds -1 would borrow on.
struct Differences {
  __attribute__((target("avx2"))) static __m256i limbs(__m256i x, __m256i y, __m256i below, __m256i& passed) {
    __m256i difference = _mm256_sub_epi32(x, y);
    passed = _mm256_cmpgt_epi32(_mm256_setzero_si256(), difference);
    difference = _mm256_add_epi32(difference, _mm256_and_si256(passed, _mm256_set1_epi32(static_cast<int>(kLimbBase))));
    return _mm256_add_epi32(difference, fromBelow<4>(passed, below));
  }
  static constexpr int kRunsOn = -1;
};

// The loop of addGroups and subtractGroups over the groups of one kind.
template <typename Group>
__attribute__((target("avx2"))) std::size_t runGroups(Limb* r, const Limb* x, const Limb* y, std::size_t from,
                                                       std::size_t size, std::uint64_t& carry) {
  const __m256i runsOnValue = _mm256_set1_epi32(Group::kRunsOn);
  __m256i below = _mm256_set1_epi32(-static_cast<int>(carry));
  std::size_t i = from;
  for (; i + kVectorAddGroup <= size; i += kVectorAddGroup) {
    __m256i passed;
    __m256i limbs = Group::limbs(load(x + i), load(y + i), below, passed);
    __m256i runsOn = _mm256_cmpeq_epi32(limbs, runsOnValue);
    if (!_mm256_testz_si256(runsOn, runsOn)) break;
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(r + i), limbs);
    below = passed;
  }
  carry = topLane(below);
  return i;
}

}  // namespace

bool hasVectors() {
  static const bool supported = __builtin_cpu_supports("avx2");
  return supported;
}

std::size_t addGroups(Limb* r, const Limb* x, const Limb* y, std::size_t from, std::size_t size, std::uint64_t& carry) {
  return runGroups<Sums>(r, x, y, from, size, carry);
}

std::size_t subtractGroups(Limb* r, const Limb* x, const Limb* y, std::size_t from, std::size_t size,
                           std::uint64_t& borrow) {
  return runGroups<Differences>(r, x, y, from, size, borrow);
}

}  // namespace kavor::magnitude

#endif
