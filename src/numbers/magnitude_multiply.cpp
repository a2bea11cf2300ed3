// Multiplication of magnitudes: schoolbook for short operands, Karatsuba above a threshold,
// so that the large powers and factorials of programs stay fast.
#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "numbers/magnitude.h"
#include "numbers/magnitude_transform.h"

namespace kavor::magnitude {

namespace {

// Below this many limbs in the shorter operand the schoolbook product is faster than the
// extra additions of a Karatsuba step.
constexpr std::size_t kKaratsubaThreshold = 40;
// From this many limbs in the shorter operand on, the transform beats Karatsuba.
constexpr std::size_t kTransformThreshold = 1500;

// r[0..size) += x[0..xSize) and r[0..size) -= x[0..xSize), with xSize <= size; each returns
// the carry or borrow out of the top limb.
Limb addInto(Limb* r, std::size_t size, const Limb* x, std::size_t xSize) { return addLimbs(r, r, size, x, xSize); }
Limb subtractInto(Limb* r, std::size_t size, const Limb* x, std::size_t xSize) {
  return subtractLimbs(r, r, size, x, xSize);
}

// Rows of limb products that a 64-bit column can take before its carries must be moved on:
// 16 products below 10^18 plus a normalised limb and an incoming carry stay below 2^64.
constexpr std::size_t kRowsPerCarry = 16;

// Moves the carries of columns[from..size) upwards so that each holds a limb again.
void propagateCarries(std::uint64_t* columns, std::size_t from, std::size_t size) {
  std::uint64_t carry = 0;
  for (std::size_t k = from; k < size; ++k) {
    std::uint64_t t = columns[k] + carry;
    columns[k] = t % kLimbBase;
    carry = t / kLimbBase;
  }
}

// out[0..aSize+bSize) = a * b; writes every limb of out (leading zeros included). The
// products are summed per column in 64 bits and the carries moved only every few rows, which
// keeps the division by the base out of the inner loop.
void schoolbook(Limb* out, const Limb* a, std::size_t aSize, const Limb* b, std::size_t bSize) {
  std::size_t total = aSize + bSize;
  std::uint64_t fixed[2 * kKaratsubaThreshold];
  std::unique_ptr<std::uint64_t[]> grown;
  std::uint64_t* columns = fixed;
  if (total > 2 * kKaratsubaThreshold) {
    grown = std::make_unique_for_overwrite<std::uint64_t[]>(total);
    columns = grown.get();
  }
  // The first row is stored rather than added, so only the columns above it start at zero.
  for (std::size_t i = 0; i < aSize; ++i) columns[i] = a[i] * std::uint64_t{b[0]};
  std::fill(columns + aSize, columns + total, 0);
  std::size_t pendingRows = 1;
  for (std::size_t j = 1; j < bSize; ++j) {
    std::uint64_t factor = b[j];
    std::uint64_t* row = columns + j;
    for (std::size_t i = 0; i < aSize; ++i) row[i] += a[i] * factor;
    if (++pendingRows == kRowsPerCarry) {
      propagateCarries(columns, j + 1 - kRowsPerCarry, total);
      pendingRows = 0;
    }
  }
  propagateCarries(columns, 0, total);
  for (std::size_t k = 0; k < total; ++k) out[k] = static_cast<Limb>(columns[k]);
}

// out[0..aSize+bSize) = a * b for operands that may carry leading zero limbs.
void multiplyInto(Limb* out, const Limb* a, std::size_t aSize, const Limb* b, std::size_t bSize) {
  if (aSize < bSize) {
    std::swap(a, b);
    std::swap(aSize, bSize);
  }
  if (bSize < kKaratsubaThreshold) {
    schoolbook(out, a, aSize, b, bSize);
    return;
  }
  if (bSize >= kTransformThreshold && fitsTransform(aSize, bSize)) {
    multiplyByTransform(out, a, aSize, b, bSize);
    return;
  }
  std::size_t total = aSize + bSize;
  if (aSize >= 2 * bSize) {
    // Unbalanced: multiply b by slices of a as long as b, so each step is a balanced one.
    std::fill(out, out + total, 0);
    std::vector<Limb> part(2 * bSize);
    for (std::size_t start = 0; start < aSize; start += bSize) {
      std::size_t length = std::min(bSize, aSize - start);
      multiplyInto(part.data(), a + start, length, b, bSize);
      addInto(out + start, total - start, part.data(), length + bSize);
    }
    return;
  }
  // Balanced: with a = a1*B^m + a0 and b = b1*B^m + b0 (m < bSize since aSize < 2*bSize),
  // a*b = z2*B^2m + (z1 - z2 - z0)*B^m + z0 with z1 = (a0 + a1)(b0 + b1).
  std::size_t m = aSize / 2;
  const Limb* a1 = a + m;
  const Limb* b1 = b + m;
  std::size_t a1Size = aSize - m;
  std::size_t b1Size = bSize - m;
  bool squaring = a == b && aSize == bSize;
  multiplyInto(out, a, m, b, m);                         // z0 into out[0..2m)
  multiplyInto(out + 2 * m, a1, a1Size, b1, b1Size);     // z2 into out[2m..total)

  std::vector<Limb> aSum(a1, a1 + a1Size);
  aSum.push_back(addInto(aSum.data(), a1Size, a, m));
  std::vector<Limb> bSum;
  if (!squaring) {
    bSum.assign(b1, b1 + b1Size);
    bSum.resize(std::max(b1Size, m));
    bSum.push_back(addInto(bSum.data(), bSum.size(), b, m));
  }
  const std::vector<Limb>& bFactor = squaring ? aSum : bSum;
  std::vector<Limb> middle(aSum.size() + bFactor.size());
  multiplyInto(middle.data(), aSum.data(), aSum.size(), bFactor.data(), bFactor.size());
  subtractInto(middle.data(), middle.size(), out, 2 * m);
  subtractInto(middle.data(), middle.size(), out + 2 * m, total - 2 * m);
  std::size_t middleSize = middle.size();
  while (middleSize > 0 && middle[middleSize - 1] == 0) --middleSize;
  // The whole product fits in `total` limbs, so the middle term fits above B^m.
  addInto(out + m, total - m, middle.data(), middleSize);
}

}  // namespace

void multiply(LimbVector& product, const Limb* a, std::size_t aSize, const Limb* b, std::size_t bSize) {
  if (aSize == 0 || bSize == 0) {
    product.clear();
    return;
  }
  // A one-limb operand, the commonest case by far (n * 2, x * k), is one pass.
  if (bSize == 1 || aSize == 1) {
    if (aSize == 1) std::swap(a, b), std::swap(aSize, bSize);
    multiplySmall(product, a, aSize, b[0]);
    return;
  }
  product.resizeForOverwrite(aSize + bSize);
  multiplyInto(product.data(), a, aSize, b, bSize);
  product.trim();
}

}  // namespace kavor::magnitude
