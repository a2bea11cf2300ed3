// The frames of the running scopes: every activation of a scope (a call of a procedure or
// function, a block with variables of its own) takes one contiguous frame of Objects, one
// per variable, from this stack. Objects never move: indirections point at them by address.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "core/object.h"

namespace kavor {

class FrameStack {
 public:
  FrameStack() = default;
  FrameStack(const FrameStack&) = delete;
  FrameStack& operator=(const FrameStack&) = delete;
  // Destroys the Objects of frames still open (a run that ended by an unexpected error).
  ~FrameStack();

  // Opens a frame of room for `count` Objects, none of them constructed yet; the caller
  // constructs them in order, calling constructed() after each.
  Object* push(std::size_t count);
  void constructed() { ++records_.back().constructed; }
  // Closes the innermost frame, which must be `frame`, destroying its Objects last first.
  void pop(Object* frame);
  // `object` is a variable of some open or earlier frame: it lies in the stack's memory,
  // never inside a value. A few chunks at most are looked at.
  bool holds(const Object* object) const;

 private:
  struct Chunk {
    std::unique_ptr<unsigned char[]> memory;  // room for `capacity` Objects
    std::size_t capacity = 0;                 // Objects that fit in `memory`
    std::size_t used = 0;                     // Objects handed out, from the front
  };
  struct Record {
    Object* frame;            // the first Object of the frame; null for an empty frame
    std::size_t count;        // the room taken
    std::size_t constructed;  // the Objects constructed so far, from the front
    std::size_t chunk;        // index of the chunk it was taken from
  };
  static constexpr std::size_t kChunkObjects = 4096;

  std::vector<Chunk> chunks_;     // never shrinks; chunks after current_ are kept for reuse
  std::size_t current_ = 0;       // the chunk frames are taken from
  std::vector<Record> records_;   // the open frames, innermost last
};

}  // namespace kavor
