// The binary object form: a value written as bytes that keep its structure, including
// references between its parts, and read back into a variable. -ob/-Ob write it, -ib reads
// it. Each type writes and reads its own items through its row (core/type_table.h); this
// layer adds what every item shares: the numbering of referenced Objects ("$n$" before a
// target, "@n@" for a reference), "v" for nothing, and the walks, which use explicit stacks
// so that nesting depth costs heap rather than native stack.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/failure.h"
#include "core/object.h"

namespace kavor {

class TextParts;
struct TypeRecord;

// Writes the binary item of `object` into `out` (cleared first). An indirection at the top
// is followed, so a reference variable writes what it refers to. Refuses a part of a type
// without binary form ("pout() for type '%s' not allowed") and a reference leading outside
// the value ("pout() for external references not allowed"); `out` is then unspecified.
Failure writeBinary(const Object& object, std::string& out);

// Where the bytes of a binary value come from.
class BinarySource {
 public:
  // The next byte; false at the end of input.
  virtual bool next(char& c) = 0;
  // The user type a value written by another program names, as the reading program sees
  // it; nullptr when it has none of that name.
  virtual TypeRecord* typeNamed(const std::string&) { return nullptr; }

 protected:
  ~BinarySource() = default;
};

// Receives the parts of a compound value being read, one item after the other, in the
// order its row lists them when writing.
class BinaryPartSink {
 public:
  virtual ~BinaryPartSink() = default;
  // The Object the next part is read into (a fresh `any` the sink keeps), or nullptr once
  // the value has all its parts.
  virtual Object* nextPart() = 0;
  // The part just read was a plain "v" that nothing refers to (an array slot without
  // value); the sink may drop it.
  virtual void nothingRead() {}
  // Called once every part is read and every reference of the whole value is bound; builds
  // what needs whole parts (a hash table hashes its keys). False when the parts form no
  // value (a key twice).
  virtual bool complete() { return true; }
};

// A sink for a value of a known number of parts that go in one after the other; `add`
// makes the place of the next.
class CountedPartSink : public BinaryPartSink {
 public:
  explicit CountedPartSink(int64_t count) : remaining_(count) {}
  Object* nextPart() final {
    if (remaining_ == 0) return nullptr;
    --remaining_;
    return &add();
  }

 protected:
  virtual Object& add() = 0;

 private:
  int64_t remaining_;  // parts still to come
};

// What a row reads its item from: bytes, and the parts of a compound value.
class BinaryInput {
 public:
  // The next byte (a 0 byte comes back as the stored NUL); false at the end of input.
  bool byte(char& c);
  // A decimal integer (a "-" first when `signedNumber`) of at most 18 digits, ended by
  // `terminator`, which is consumed.
  bool number(int64_t& value, char terminator, bool signedNumber = false);
  // The bytes up to `terminator`, which is consumed and not kept.
  bool textUntil(char terminator, std::string& text);
  // Exactly `length` bytes. Nothing is reserved ahead: a length read from the input is
  // never trusted further than the bytes that actually arrive.
  bool text(int64_t length, std::string& text);
  // The parts of the value being read come next, in the order `sink` takes them.
  void expectParts(std::unique_ptr<BinaryPartSink> sink) { expected_ = std::move(sink); }
  // A user type as a value's item named it: the reading program's type of that name (null
  // when the program has none, or one with other members) and the member count of each
  // group the item gave.
  struct ItemType {
    TypeRecord* type;
    std::vector<int64_t> layout;
  };
  // The user type a name gives in the reading program.
  TypeRecord* typeNamed(const std::string& name) { return source_.typeNamed(name); }
  // The type an earlier item of the value numbered `number`; nullptr when none did.
  const ItemType* typeNumbered(int64_t number) const {
    return number >= 1 && number <= static_cast<int64_t>(types_.size()) ? &types_[number - 1] : nullptr;
  }
  // Gives the next number to a type; a value numbers its types 1, 2, 3 in order.
  const ItemType& numberType(ItemType type) { return types_.emplace_back(std::move(type)); }
  int64_t typesNumbered() const { return static_cast<int64_t>(types_.size()); }
  // The value is refused for a reason more telling than malformed bytes: at once when the
  // row's readBinary then fails, else once the value is whole.
  void refuse(Failure failure) { refusal_ = std::move(failure); }
  const Failure& refusal() const { return refusal_; }

  // For the reader: the sink a row handed over, if any.
  std::unique_ptr<BinaryPartSink> takeExpected() { return std::move(expected_); }
  // The input ended inside the value.
  bool ended() const { return ended_; }
  // Bytes consumed since the value began.
  int64_t position() const { return position_; }

  explicit BinaryInput(BinarySource& source) : source_(source) {}

 private:
  BinarySource& source_;
  std::unique_ptr<BinaryPartSink> expected_;  // set by a compound row until the reader takes it
  bool ended_ = false;                        // set when a byte was asked for after the end
  int64_t position_ = 0;                      // bytes consumed so far
  std::vector<ItemType> types_;              // the user types numbered so far, number 1 first
  Failure refusal_;                           // set by refuse; none until then
};

// Reads one binary value from `source` into `target` (through indirections), skipping
// blanks, tabs and line ends before it (outl ends its values with a line end). The whole
// item is read before it is stored, so a refusal leaves `target` as it was and the input
// behind the item. The value is false when the input ended before an item began. Refuses a
// value of another type than `target`'s ("Reading only for equal types ('%s' <- '%s')", an
// `any` target too: the stored type is the one that was written), and input that ends
// inside a value or is no valid item.
Outcome<bool, Failure> readBinary(BinarySource& source, Object& target);

}  // namespace kavor
