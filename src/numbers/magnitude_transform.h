// Transform multiplication for very long magnitudes; used by magnitude::multiply above the
// length where it beats Karatsuba.
#pragma once

#include <cstddef>

#include "numbers/limb_vector.h"

namespace kavor::magnitude {

// The longest product (in limbs) the three transform primes can carry exactly: each prime
// has 2^26 as its largest power-of-two root order.
inline constexpr std::size_t kMaxTransformLength = std::size_t{1} << 26;

bool fitsTransform(std::size_t aSize, std::size_t bSize);

// out[0..aSize+bSize) = a * b; requires fitsTransform(aSize, bSize).
void multiplyByTransform(Limb* out, const Limb* a, std::size_t aSize, const Limb* b, std::size_t bSize);

}  // namespace kavor::magnitude
