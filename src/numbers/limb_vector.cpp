#include "numbers/limb_vector.h"

#include <algorithm>
#include <cstring>

namespace kavor {

void LimbVector::assign(const Limb* source, std::size_t count) {
  if (count > capacity_) {
    heap_ = std::make_unique<Limb[]>(count);
    capacity_ = count;
  }
  if (count > 0) std::memmove(data(), source, count * sizeof(Limb));
  size_ = count;
}

void LimbVector::reserve(std::size_t count) {
  if (count <= capacity_) return;
  auto grown = std::make_unique<Limb[]>(count);
  if (size_ > 0) std::memcpy(grown.get(), data(), size_ * sizeof(Limb));
  heap_ = std::move(grown);
  capacity_ = count;
}

void LimbVector::resize(std::size_t count) {
  if (count > capacity_) reserve(std::max(count, capacity_ + capacity_ / 2));
  if (count > size_) std::memset(data() + size_, 0, (count - size_) * sizeof(Limb));
  size_ = count;
}

void LimbVector::takeFrom(LimbVector& other) noexcept {
  heap_ = std::move(other.heap_);
  size_ = other.size_;
  capacity_ = other.capacity_;
  std::memcpy(inline_, other.inline_, sizeof(inline_));
  other.size_ = 0;
  other.capacity_ = kInline;
}

}  // namespace kavor
