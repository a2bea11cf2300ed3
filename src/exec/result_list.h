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

class ResultList {
 public:
  ResultList() = default;
  ResultList(const ResultList&) = delete;
  ResultList& operator=(const ResultList&) = delete;
  ResultList(ResultList&& other) noexcept : entries_(std::move(other.entries_)) { other.entries_.clear(); }
  ResultList& operator=(ResultList&& other) noexcept {
    if (this != &other) {
      release();
      entries_ = std::move(other.entries_);
      other.entries_.clear();
    }
    return *this;
  }
  ~ResultList() { release(); }

  void push(Object* object, int access, bool owned) { entries_.push_back({object, access, owned}); }
  // Takes ownership of a new temporary.
  void pushOwned(std::unique_ptr<Object> object, int access) { push(object.release(), access, true); }
  size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  Result& operator[](size_t index) { return entries_[index]; }
  const Result& operator[](size_t index) const { return entries_[index]; }
  Result& back() { return entries_.back(); }
  std::vector<Result>::iterator begin() { return entries_.begin(); }
  std::vector<Result>::iterator end() { return entries_.end(); }
  std::vector<Result>::const_iterator begin() const { return entries_.begin(); }
  std::vector<Result>::const_iterator end() const { return entries_.end(); }

  // Destroys the owned Objects and empties the list.
  void release() {
    for (Result& entry : entries_)
      if (entry.owned) delete entry.object;
    entries_.clear();
  }
  // Hands an entry's Object to the caller; the list no longer destroys it.
  std::unique_ptr<Object> take(size_t index) {
    Result& entry = entries_[index];
    if (!entry.owned) return nullptr;
    entry.owned = false;
    return std::unique_ptr<Object>(entry.object);
  }

 private:
  std::vector<Result> entries_;
};

}  // namespace kavor
