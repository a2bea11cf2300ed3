// The limb loops that run four or eight limbs at a time where the processor has 256-bit
// integer vectors (checked once, at the first call). Each stops short rather than handle a
// carry or borrow that would run on past the limb above its source, which only runs of nines
// or zeros cause; the caller does that group one limb at a time and goes on.
#pragma once

#include <cstddef>
#include <cstdint>

#include "numbers/limb_vector.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define KAVOR_LIMB_VECTORS 1
#endif

namespace kavor::magnitude {

#ifdef KAVOR_LIMB_VECTORS

// Limbs a vector loop takes at a time.
inline constexpr std::size_t kVectorAddGroup = 8;

// Whether the vector loops may run here.
bool hasVectors();

// The lanes of `current` moved up by one lane of kLaneBytes bytes, with the top lane of
// `previous` in the lowest: each limb's lane receives what the limb below it passes up.
template <int kLaneBytes>
__attribute__((target("avx2"))) inline __m256i fromBelow(__m256i current, __m256i previous) {
  return _mm256_alignr_epi8(current, _mm256_permute2x128_si256(previous, current, 0x21), 16 - kLaneBytes);
}

// r[i..) = x + y + carry group by group from limb `from` on, for as long as whole groups
// remain below `size` and none has a carry that runs on; returns the limb it stopped at, with
// `carry` (0 or 1) the carry into it. `r` may be x or y.
std::size_t addGroups(Limb* r, const Limb* x, const Limb* y, std::size_t from, std::size_t size, std::uint64_t& carry);
// The same for r = x - y - borrow.
std::size_t subtractGroups(Limb* r, const Limb* x, const Limb* y, std::size_t from, std::size_t size,
                           std::uint64_t& borrow);

#endif

}  // namespace kavor::magnitude
