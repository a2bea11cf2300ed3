// A free list of fixed-size blocks. Objects and small payloads are created and destroyed
// at a high rate (every temporary value), and reusing their blocks avoids most of the
// allocator's cost. New blocks are cut from large chunks, so a million list elements cost
// their own size and no allocator header each. Blocks are never returned to the system
// while the process runs.
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
    if (unused_ == unusedEnd_) addChunk();
    void* block = unused_;
    unused_ += kBlock;
    return block;
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
  // A chunk: the link to the previous chunk, then its blocks. The chain of chunks keeps every
  // block reachable, so leak checkers see no lost memory at exit.
  struct Chunk {
    Chunk* previous;
  };
  static constexpr size_t kBlock = ((BlockSize < sizeof(FreeBlock) ? sizeof(FreeBlock) : BlockSize) + 7) / 8 * 8;
  static constexpr size_t kBlocksPerChunk = 1024;

  // Starts a new chunk. Its blocks are handed out in address order straight from the chunk,
  // so a block's memory is first touched when it is used, not when the chunk is made.
  static void addChunk() {
    size_t header = (sizeof(Chunk) + 15) / 16 * 16;
    auto* chunk = static_cast<Chunk*>(::operator new(header + kBlock * kBlocksPerChunk));
    chunk->previous = chunks_;
    chunks_ = chunk;
    unused_ = reinterpret_cast<char*>(chunk) + header;
    unusedEnd_ = unused_ + kBlock * kBlocksPerChunk;
  }

  static inline FreeBlock* freeList_ = nullptr;  // the freed blocks, most recently freed first
  static inline Chunk* chunks_ = nullptr;        // every chunk made, newest first
  // The newest chunk's blocks never handed out: from unused_ up to unusedEnd_ (equal when
  // none is left, or before the first chunk).
  static inline char* unused_ = nullptr;
  static inline char* unusedEnd_ = nullptr;
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
