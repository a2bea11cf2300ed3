#include "numbers/limb_vector.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace kavor {

std::uint32_t LimbVector::checkedCount(std::size_t count) {
  if (count > UINT32_MAX) throw std::bad_alloc();
  return static_cast<std::uint32_t>(count);
}

void LimbVector::assign(const Limb* source, std::size_t count) {
  std::uint32_t checked = checkedCount(count);
  if (checked > capacity_) {
    heap_ = std::make_unique_for_overwrite<Limb[]>(checked);
    capacity_ = checked;
  }
  if (checked > 0) std::memmove(data(), source, checked * sizeof(Limb));
  size_ = checked;
}

void LimbVector::reserve(std::size_t count) {
  std::uint32_t checked = checkedCount(count);
  if (checked <= capacity_) return;
  auto grown = std::make_unique_for_overwrite<Limb[]>(checked);
  if (size_ > 0) std::memcpy(grown.get(), data(), size_ * sizeof(Limb));
  heap_ = std::move(grown);
  capacity_ = checked;
}

void LimbVector::resize(std::size_t count) {
  std::uint32_t old = size_;
  resizeKeeping(count);
  if (size_ > old) std::memset(data() + old, 0, (size_ - old) * sizeof(Limb));
}

void LimbVector::resizeKeeping(std::size_t count) {
  std::uint32_t checked = checkedCount(count);
  if (checked > capacity_) reserve(std::max<std::size_t>(checked, capacity_ + std::size_t(capacity_) / 2));
  size_ = checked;
}

void LimbVector::replaceStorage(std::size_t count) {
  std::size_t wanted = heap_ ? std::max<std::size_t>(count, capacity_ + std::size_t(capacity_) / 2) : count;
  std::uint32_t checked = checkedCount(wanted);
  heap_ = std::make_unique_for_overwrite<Limb[]>(checked);
  capacity_ = checked;
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
