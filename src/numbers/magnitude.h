// Arithmetic on unsigned magnitudes in base 10^9, least significant limb first. BigInt
// keeps its magnitudes trimmed (no zero limb at the top; zero has no limbs), and every
// function here accepts and returns trimmed magnitudes unless it says otherwise.
#pragma once

#include <cstddef>
#include <cstdint>

#include "numbers/limb_vector.h"

namespace kavor::magnitude {

// x / 10^9 for any x below 2^60, which every product of two limbs is: one multiplication by
// a rounded-up reciprocal of the base (exact below 2^60 since 2^93 <= 9903520314283042200 *
// 10^9 <= 2^93 + 2^33); the compiler's general form for 64-bit values needs a shift more.
inline std::uint64_t divideByBase(std::uint64_t x) {
  return static_cast<std::uint64_t>((static_cast<unsigned __int128>(x) * 9903520314283042200ull) >> 93);
}

// -1, 0 or 1 as a is below, equal to or above b.
int compare(const Limb* a, std::size_t aSize, const Limb* b, std::size_t bSize);

// r[0..aSize) = a + b for aSize >= bSize; returns the carry out of the top limb. `r` may be
// a's storage.
Limb addLimbs(Limb* r, const Limb* a, std::size_t aSize, const Limb* b, std::size_t bSize);
// r[0..aSize) = a - b for aSize >= bSize; returns the borrow out of the top limb, which is 0
// when a >= b. `r` may be a's storage.
Limb subtractLimbs(Limb* r, const Limb* a, std::size_t aSize, const Limb* b, std::size_t bSize);

// sum = a + b, in one pass over the limbs; `sum` must not be either operand's storage.
void add(LimbVector& sum, const Limb* a, std::size_t aSize, const Limb* b, std::size_t bSize);
// difference = a - b; requires a >= b; `difference` must not be either operand's storage.
void subtract(LimbVector& difference, const Limb* a, std::size_t aSize, const Limb* b, std::size_t bSize);

// acc += b. `b` must not point into acc.
void addTo(LimbVector& acc, const Limb* b, std::size_t bSize);
// acc -= b; requires acc >= b. `b` must not point into acc.
void subtractFrom(LimbVector& acc, const Limb* b, std::size_t bSize);
// acc = b - acc; requires b >= acc. `b` must not point into acc.
void subtractFromOther(LimbVector& acc, const Limb* b, std::size_t bSize);
// acc += small, for small below 10^9.
void addSmall(LimbVector& acc, Limb small);
// acc -= small, for small below 10^9; requires acc >= small.
void subtractSmall(LimbVector& acc, Limb small);

// r[0..size) = a * factor for any factor below 2^32; returns the carry out of the top limb
// (below 2^32 * 1.0000001). `r` may be a.
std::uint64_t multiplyLimbs(Limb* r, const Limb* a, std::size_t size, std::uint32_t factor);
// product = a * b; `product` must not be either operand's storage.
void multiply(LimbVector& product, const Limb* a, std::size_t aSize, const Limb* b, std::size_t bSize);
// acc *= factor, for any factor below 2^32.
void multiplySmall(LimbVector& acc, std::uint32_t factor);
// product = a * factor, for any factor below 2^32; `product` must not be a's storage.
void multiplySmall(LimbVector& product, const Limb* a, std::size_t aSize, std::uint32_t factor);

// acc /= divisor (truncating) and returns the remainder; divisor in 1 .. 2^32-1.
std::uint32_t divideSmall(LimbVector& acc, std::uint32_t divisor);
// quotient = a / divisor (truncating) and returns the remainder; divisor in 1 .. 2^32-1;
// `quotient` must not be a's storage.
std::uint32_t divideSmall(LimbVector& quotient, const Limb* a, std::size_t aSize, std::uint32_t divisor);
// The remainder of a / divisor without changing a; divisor in 1 .. 2^32-1.
std::uint32_t remainderSmall(const Limb* a, std::size_t aSize, std::uint32_t divisor);
// quotient = a / b and remainder = a mod b (truncating); either output may be null; b must
// not be zero. The outputs must not be the storage of a or b.
void divide(const Limb* a, std::size_t aSize, const Limb* b, std::size_t bSize, LimbVector* quotient,
            LimbVector* remainder);

}  // namespace kavor::magnitude
