// The result list: what evaluating an expression yields (zero, one or several values),
// each with its access class and whether the list owns it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/object.h"

namespace kavor {

struct Result {
  Object* object;  // never null
  int32_t access;  // access class (Access::...)
  bool owned;      // the list destroys the Object when it is released
};

// Nearly every list holds one or two values, so the first few live inside the list and
// only longer lists allocate.
class ResultList {
 public:
  ResultList() = default;
  ResultList(const ResultList&) = delete;
  ResultList& operator=(const ResultList&) = delete;
  ResultList(ResultList&& other) noexcept { takeFrom(other); }
  ResultList& operator=(ResultList&& other) noexcept {
    if (this != &other) {
      release();
      takeFrom(other);
    }
    return *this;
  }
  ~ResultList() { release(); }

  void push(Object* object, int access, bool owned) {
    if (size_ < kInline && spill_.empty()) {
      inline_[size_++] = {object, access, owned};
      return;
    }
    if (spill_.empty()) spill_.assign(inline_, inline_ + size_);
    spill_.push_back({object, access, owned});
    ++size_;
  }
  // Takes ownership of a new temporary.
  void pushOwned(std::unique_ptr<Object> object, int access) { push(object.release(), access, true); }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  Result& operator[](size_t index) { return data()[index]; }
  const Result& operator[](size_t index) const { return data()[index]; }
  Result& back() { return data()[size_ - 1]; }
  Result* begin() { return data(); }
  Result* end() { return data() + size_; }
  const Result* begin() const { return data(); }
  const Result* end() const { return data() + size_; }

  // Destroys the owned Objects and empties the list.
  void release() {
    for (Result& entry : *this)
      if (entry.owned) delete entry.object;
    size_ = 0;
    spill_.clear();
  }
  // Hands an entry's Object to the caller; the list no longer destroys it.
  std::unique_ptr<Object> take(size_t index) {
    Result& entry = data()[index];
    if (!entry.owned) return nullptr;
    entry.owned = false;
    return std::unique_ptr<Object>(entry.object);
  }

 private:
  static constexpr size_t kInline = 4;

  Result* data() { return spill_.empty() ? inline_ : spill_.data(); }
  const Result* data() const { return spill_.empty() ? inline_ : spill_.data(); }
  void takeFrom(ResultList& other) {
    size_ = other.size_;
    spill_ = std::move(other.spill_);
    for (size_t i = 0; i < kInline; ++i) inline_[i] = other.inline_[i];
    other.size_ = 0;
    other.spill_.clear();
  }

  Result inline_[kInline];     // the entries while there are at most kInline of them
  size_t size_ = 0;            // number of entries
  std::vector<Result> spill_;  // all entries once there are more than kInline; else empty
};

}  // namespace kavor
