// A free list of fixed-size blocks. Objects and small payloads are created and destroyed
// at a high rate (every temporary value), and reusing their blocks avoids most of the
// allocator's cost. Blocks are never returned to the system while the process runs.
#pragma once

#include <cstddef>
#include <new>

namespace kavor {

template <size_t BlockSize>
class FixedPool {
 public:
  static void* allocate() {
    if (freeList_ != nullptr) {
      FreeBlock* block = freeList_;
      freeList_ = block->next;
      return block;
    }
    return ::operator new(BlockSize < sizeof(FreeBlock) ? sizeof(FreeBlock) : BlockSize);
  }
  static void release(void* pointer) {
    if (pointer == nullptr) return;
    auto* block = static_cast<FreeBlock*>(pointer);
    block->next = freeList_;
    freeList_ = block;
  }

 private:
  struct FreeBlock {
    FreeBlock* next;  // the next free block; nullptr at the end of the list
  };
  static inline FreeBlock* freeList_ = nullptr;
};

// Payloads made and dropped with every temporary (ints, strings, code values) come from
// free lists too.
template <typename Payload>
Payload* newPooled() {
  return new (FixedPool<sizeof(Payload)>::allocate()) Payload();
}

template <typename Payload>
void deletePooled(void* payload) {
  static_cast<Payload*>(payload)->~Payload();
  FixedPool<sizeof(Payload)>::release(payload);
}

}  // namespace kavor
