// The frame stack: frames keep their Objects apart across chunk boundaries, frames larger
// than a chunk work, and closing a frame destroys its Objects and their links.
#include <gtest/gtest.h>

#include <new>
#include <vector>

#include "core/object.h"
#include "core/values.h"
#include "exec/frame_stack.h"
#include "numbers/bigint.h"

namespace kavor {
namespace {

Object* openIntFrame(FrameStack& stack, std::size_t count, std::int64_t first) {
  Object* frame = stack.push(count);
  for (std::size_t i = 0; i < count; ++i) {
    ::new (static_cast<void*>(frame + i)) Object('i');
    stack.constructed();
    frame[i].asInt() = BigInt(first + static_cast<std::int64_t>(i));
  }
  return frame;
}

TEST(FrameStack, FramesStayApartAcrossChunksAndAreReused) {
  FrameStack stack;
  std::vector<Object*> frames;
  // 3 Objects a frame: the frames cross several chunk boundaries; empty frames in between.
  for (std::int64_t n = 0; n < 5000; ++n) {
    frames.push_back(openIntFrame(stack, 3, n * 3));
    if (n % 7 == 0) frames.push_back(stack.push(0));
  }
  std::int64_t expected = 0;
  for (Object* frame : frames) {
    if (frame == nullptr) continue;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(frame[i].asInt(), BigInt(expected++));
  }
  for (auto it = frames.rbegin(); it != frames.rend(); ++it) stack.pop(*it);
  // The memory is reused: the first frame of a fresh run lands where the first one did.
  Object* again = openIntFrame(stack, 3, 0);
  EXPECT_EQ(again, frames.front());
  stack.pop(again);
}

TEST(FrameStack, FrameLargerThanAChunk) {
  FrameStack stack;
  Object* small = openIntFrame(stack, 10, 0);
  Object* large = openIntFrame(stack, 10000, 100);
  EXPECT_EQ(large[9999].asInt(), BigInt(10099));
  EXPECT_EQ(small[9].asInt(), BigInt(9));
  stack.pop(large);
  Object* next = openIntFrame(stack, 5, 7);
  EXPECT_EQ(next, small + 10);  // back in the first chunk, right after the small frame
  stack.pop(next);
  stack.pop(small);
}

TEST(FrameStack, ClosingAFrameDetachesWhatPointsIntoIt) {
  FrameStack stack;
  Object* outer = openIntFrame(stack, 1, 5);
  Object* inner = openIntFrame(stack, 2, 6);
  auto holder = makeInt(0);
  ASSERT_EQ(transfer(*holder, inner[0], Transfer::Reference).text(), "");
  ASSERT_EQ(transfer(inner[1], outer[0], Transfer::Reference).text(), "");
  EXPECT_TRUE(outer[0].hasLinks());
  stack.pop(inner);
  // The reference into the closed frame became an independent empty int; the outer variable
  // no longer has anything pointing at it.
  EXPECT_EQ(holder->typeCode, 'i');
  EXPECT_TRUE(holder->isEmpty());
  EXPECT_FALSE(outer[0].hasLinks());
  // A frame left open is closed by the stack itself (the sanitizer build checks for leaks).
}

}  // namespace
}  // namespace kavor
