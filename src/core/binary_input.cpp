// Reading the binary object form. The value is built in a temporary `any`, item after item
// with a stack of the compound values still waiting for parts, and stored into the target
// only when it is whole and of the target's type. Nothing read is trusted: every count and
// length is followed only as far as bytes arrive, every number is bounded, and a reference
// may only point at an Object of the same value.
#include <unordered_map>
#include <vector>

#include "core/binary_form.h"
#include "core/containers.h"
#include "core/messages.h"
#include "core/type_table.h"
#include "streams/stream.h"

namespace kavor {

bool BinaryInput::byte(char& c) {
  if (!source_.next(c)) {
    ended_ = true;
    return false;
  }
  ++position_;
  if (c == '\0') c = kStoredNul;
  return true;
}

bool BinaryInput::number(int64_t& value, char terminator, bool signedNumber) {
  char c;
  if (!byte(c)) return false;
  bool negative = signedNumber && c == '-';
  if (negative && !byte(c)) return false;
  int digits = 0;
  value = 0;
  while (c >= '0' && c <= '9') {
    if (++digits > 18) return false;
    value = value * 10 + (c - '0');
    if (!byte(c)) return false;
  }
  if (negative) value = -value;
  return digits > 0 && c == terminator;
}

bool BinaryInput::textUntil(char terminator, std::string& text) {
  text.clear();
  for (char c; byte(c);) {
    if (c == terminator) return true;
    text += c;
  }
  return false;
}

bool BinaryInput::text(int64_t length, std::string& text) {
  text.clear();
  if (length < 0) return false;
  for (char c; length > 0 && byte(c); --length) text += c;
  return length == 0;
}

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The row an item's first letter names: the type's base code, or "x", the empty char.
const TypeOps* rowOfLetter(char letter) {
  TypeCode code = letter == 'x' ? 'c' : letter;
  if (baseCode(code) != code) return nullptr;
  const TypeOps& row = typeOps(code);
  return row.readBinary != nullptr ? &row : nullptr;
}

class BinaryReader {
 public:
  explicit BinaryReader(BinarySource& source) : in_(source) {}

  // Reads the value whose first byte is `first` into `root`, a fresh undefined `any`.
  bool run(char first, Object& root) {
    if (!readItem(root, &first)) return false;
    while (!open_.empty()) {
      Object* part = open_.back()->nextPart();
      if (part == nullptr) {
        if (!finish()) return false;
        continue;
      }
      if (!readItem(*part, nullptr)) return false;
    }
    for (auto& [reference, serial] : forward_) {
      auto target = targets_.find(serial);
      if (target == targets_.end()) return false;
      link(*reference, *target->second);
    }
    for (auto& sink : waiting_)
      if (!sink->complete()) return false;
    // A refusal noted while completing lets the rest of the value be read first.
    return !in_.refusal();
  }

  Failure failure() const {
    if (in_.refusal()) return in_.refusal();
    if (in_.ended()) return message("binendinnwer");
    // The first byte was read before the reader began.
    return fillKey("binfehwer", {std::to_string(in_.position() + 1)});
  }

 private:
  // Reads one item into `part`; `first` is its first byte when already read.
  bool readItem(Object& part, const char* first) {
    char c;
    if (first != nullptr) c = *first;
    else if (!in_.byte(c)) return false;
    bool numbered = c == '$';
    if (numbered) {
      int64_t serial;
      if (!in_.number(serial, '$') || serial <= 0 || targets_.contains(serial)) return false;
      targets_.emplace(serial, &part);
      // A reference is never the target of another.
      if (!in_.byte(c) || c == '@') return false;
    }
    if (c == '@') {
      int64_t serial;
      if (!in_.number(serial, '@') || serial <= 0) return false;
      auto target = targets_.find(serial);
      if (target != targets_.end()) link(part, *target->second);
      else forward_.emplace_back(&part, serial);
      return true;
    }
    if (c == 'v') {
      part.typeCode = 'v';
      if (!numbered && !open_.empty()) open_.back()->nothingRead();
      return true;
    }
    const TypeOps* row = rowOfLetter(c);
    if (row == nullptr) return false;
    part.construct(heldCode(c == 'x' ? 'c' : c));
    if (!row->readBinary(in_, c, part)) return false;
    if (std::unique_ptr<BinaryPartSink> sink = in_.takeExpected()) open_.push_back(std::move(sink));
    return true;
  }

  // A reference part points at `target`; as the value's own parts do, it holds an `any`.
  void link(Object& reference, Object& target) { reference.linkIndirection('p', target); }

  // The compound value on top has all its parts. It is completed at once unless some
  // reference still waits for its target (a hash would hash an unbound key) or an earlier
  // value waits, whose order must be kept.
  bool finish() {
    std::unique_ptr<BinaryPartSink> sink = std::move(open_.back());
    open_.pop_back();
    if (forward_.empty() && waiting_.empty()) return sink->complete();
    waiting_.push_back(std::move(sink));
    return true;
  }

  BinaryInput in_;
  // Compound values still reading parts, innermost last.
  std::vector<std::unique_ptr<BinaryPartSink>> open_;
  // Compound values whose completion waits for the references, in the order they ended.
  std::vector<std::unique_ptr<BinaryPartSink>> waiting_;
  // The Objects numbered so far, by number; they live in the value being built, which
  // destroys none of its Objects before the read ends.
  std::unordered_map<int64_t, Object*> targets_;
  // References read before their target, with the number they wait for.
  std::vector<std::pair<Object*, int64_t>> forward_;
};

// The value read has the target's type: a plain type's code, or the same user type.
bool sameType(Object& target, Object& read) {
  if (target.isAny() || read.typeCode == 'v' || read.typeCode == 'V') return false;
  return sameActualType(target, read);
}

}  // namespace

Outcome<bool, Failure> readBinary(BinarySource& source, Object& targetIn) {
  using Result = Outcome<bool, Failure>;
  char first;
  do {
    if (!source.next(first)) return Result::success(false);
  } while (isBlank(first));
  Object read;
  BinaryReader reader(source);
  if (!reader.run(first, read)) return Result::refusal(reader.failure());
  Object& target = targetIn.resolve(true);
  if (!sameType(target, read))
    return Result::refusal(fillKey("einnurfuegledattyp", {typeName(target, false), typeName(read, true)}));
  if (isBeingIterated(target)) return Result::refusal(refusedDuringIteration());
  if (Failure failure = transfer(target, read, Transfer::Move)) return Result::refusal(std::move(failure));
  // References to the value as a whole now point at the target that holds it.
  while (Object* reference = read.referenceChain()) reference->linkIndirection('p', target);
  return Result::success(true);
}

}  // namespace kavor
