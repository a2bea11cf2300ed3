#include "exec/frame_stack.h"

#include <algorithm>
#include <cstdint>

namespace kavor {

FrameStack::~FrameStack() {
  while (!records_.empty()) pop(records_.back().frame);
}

Object* FrameStack::push(std::size_t count) {
  if (count == 0) {
    records_.push_back({nullptr, 0, 0, current_});
    return nullptr;
  }
  // A frame lies within one chunk: move on to the next chunk (made when missing, large
  // enough for the frame) when the current one has no room left.
  if (chunks_.empty() || chunks_[current_].used + count > chunks_[current_].capacity) {
    // current_ changes only once the chunk is there: a failed allocation leaves it valid.
    std::size_t next = chunks_.empty() ? 0 : current_ + 1;
    while (next < chunks_.size() && chunks_[next].capacity < count) ++next;
    if (next >= chunks_.size()) {
      Chunk chunk;
      chunk.capacity = std::max(kChunkObjects, count);
      chunk.memory = std::make_unique<unsigned char[]>(chunk.capacity * sizeof(Object));
      chunks_.push_back(std::move(chunk));
      next = chunks_.size() - 1;
    }
    current_ = next;
  }
  Chunk& chunk = chunks_[current_];
  auto* frame = reinterpret_cast<Object*>(chunk.memory.get()) + chunk.used;
  chunk.used += count;
  records_.push_back({frame, count, 0, current_});
  return frame;
}

void FrameStack::pop(Object* frame) {
  if (records_.empty() || records_.back().frame != frame) return;
  Record record = records_.back();
  for (std::size_t i = record.constructed; i-- > 0;) record.frame[i].~Object();
  records_.pop_back();
  if (record.count == 0) return;
  chunks_[record.chunk].used -= record.count;
  // The next frame goes where the innermost open frame lies: this chunk while it still holds
  // frames, else the chunk of the frame below.
  current_ = chunks_[record.chunk].used > 0 || records_.empty() ? record.chunk : records_.back().chunk;
}

bool FrameStack::holds(const Object* object) const {
  auto address = reinterpret_cast<std::uintptr_t>(object);
  for (const Chunk& chunk : chunks_) {
    auto first = reinterpret_cast<std::uintptr_t>(chunk.memory.get());
    if (address >= first && address < first + chunk.used * sizeof(Object)) return true;
  }
  return false;
}

}  // namespace kavor
