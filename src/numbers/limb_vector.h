// Storage for the limbs of a BigInt magnitude. Every loop counter, position and count of a
// program is an `int`, and nearly all of them are small, so values below 10^18 live inside
// the object and copying them allocates nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace kavor {

// One digit of a magnitude in base 10^9: decimal limbs make text conversion linear and keep
// every limb product (below 10^18) inside 64 bits.
using Limb = std::uint32_t;
inline constexpr Limb kLimbBase = 1000000000;
inline constexpr int kLimbDigits = 9;

class LimbVector {
 public:
  LimbVector() = default;
  LimbVector(const LimbVector& other) { assign(other.data(), other.size_); }
  LimbVector(LimbVector&& other) noexcept { takeFrom(other); }
  LimbVector& operator=(const LimbVector& other) {
    if (this == &other) return *this;
    if (other.size_ <= capacity_ && other.size_ <= kInline) {
      // Small values, nearly all of them: copied in place without a call.
      Limb* limbs = data();
      const Limb* from = other.data();
      for (std::uint32_t i = 0; i < other.size_; ++i) limbs[i] = from[i];
      size_ = other.size_;
      return *this;
    }
    assign(other.data(), other.size_);
    return *this;
  }
  LimbVector& operator=(LimbVector&& other) noexcept {
    if (this != &other) takeFrom(other);
    return *this;
  }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  Limb* data() { return heap_ ? heap_.get() : inline_; }
  const Limb* data() const { return heap_ ? heap_.get() : inline_; }
  Limb& operator[](std::size_t i) { return data()[i]; }
  Limb operator[](std::size_t i) const { return data()[i]; }
  Limb back() const { return data()[size_ - 1]; }

  // Replaces the contents by `count` limbs copied from `source` (which must not point into
  // this vector's own storage when it has to grow).
  void assign(const Limb* source, std::size_t count);
  // Grows or shrinks to `count` limbs; new limbs are zero. Never gives memory back.
  void resize(std::size_t count);
  // The same, but new limbs hold unspecified values: for a result whose old limbs are kept
  // and whose new ones are all written next.
  void resizeKeeping(std::size_t count);
  // Grows or shrinks to `count` limbs whose values are left unspecified, old ones included:
  // for results that write every limb, which would pay for zeroing or copying for nothing.
  // A vector already on the heap grows geometrically, since it is usually a variable's
  // value that keeps growing.
  void resizeForOverwrite(std::size_t count) {
    if (count > capacity_) replaceStorage(count);
    size_ = static_cast<std::uint32_t>(count);
  }
  void push_back(Limb limb) {
    if (size_ == capacity_) reserve(std::size_t(size_) * 2 + 1);
    data()[size_++] = limb;
  }
  void clear() { size_ = 0; }
  void reserve(std::size_t count);
  // Drops zero limbs at the most significant end, so that zero has no limbs at all.
  void trim() {
    const Limb* limbs = data();
    while (size_ > 0 && limbs[size_ - 1] == 0) --size_;
  }

 private:
  static constexpr std::size_t kInline = 2;

  void takeFrom(LimbVector& other) noexcept;
  // Fresh storage for at least `count` limbs, contents dropped.
  void replaceStorage(std::size_t count);

  // Refuses a count beyond what the 32-bit counts hold (far beyond any result a program
  // may build) as the allocator would.
  static std::uint32_t checkedCount(std::size_t count);

  // Counts are 32 bits, so that a small value's BigInt takes 32 bytes: every int payload
  // has one.
  std::unique_ptr<Limb[]> heap_;      // the limbs once more than kInline were needed; else null
  std::uint32_t size_ = 0;            // limbs in use; never above capacity_
  std::uint32_t capacity_ = kInline;  // limbs that fit in the current storage
  Limb inline_[kInline] = {};         // the limbs while heap_ is null
};

}  // namespace kavor
