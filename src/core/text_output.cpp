// The walk that writes text forms: marks against cycles and a stack of steps instead of
// native recursion; each value's own text comes from its type's row.
#include "core/text_output.h"

#include <algorithm>
#include <vector>

#include "core/messages.h"
#include "core/type_table.h"

namespace kavor {

namespace {

// One step of writing a value. A compound value is written by pushing its parts as steps,
// so that nesting depth costs heap, not native stack.
struct WriteStep {
  enum Kind : uint8_t { Value, Text, Number, Unmark } kind;
  Object* object;    // Value: the Object to write; Unmark: the Object whose mark ends
  const char* text;  // Text: a literal piece ("(", ",", "->", ...)
  long long number = 0;  // Number: the integer to write
};

class TextWriter final : public TextParts {
 public:
  explicit TextWriter(std::string& out) : out_(out) {}

  // The refusal of the first value without text form, or none.
  Failure run(Object& root) {
    if (!writeMarked(root)) return abandon();
    while (!pending_.empty()) {
      WriteStep step = pending_.back();
      pending_.pop_back();
      switch (step.kind) {
        case WriteStep::Text: out_ += step.text; break;
        case WriteStep::Number: out_ += std::to_string(step.number); break;
        case WriteStep::Unmark: step.object->outputMark = 0; break;
        case WriteStep::Value:
          if (!writeMarked(*step.object)) return abandon();
          break;
      }
    }
    return Failure::none();
  }

  // The layout a row lists goes onto the stack in writing order; writeValue then turns it
  // around, since the last step pushed is done first.
  void text(const char* literal) override { pending_.push_back({WriteStep::Text, nullptr, literal}); }
  void number(long long value) override { pending_.push_back({WriteStep::Number, nullptr, nullptr, value}); }
  void part(Object& part) override { pending_.push_back({WriteStep::Value, &part, nullptr}); }

 private:
  // After a failure the marks set so far must still be cleared, or the values would be
  // written as ".." forever after.
  Failure abandon() {
    for (const WriteStep& step : pending_)
      if (step.kind == WriteStep::Unmark) step.object->outputMark = 0;
    pending_.clear();
    return std::move(failure_);
  }

  bool writeMarked(Object& object) {
    if (!object.isDefined()) {
      // A user value without members still shows that it is one.
      if (object.base() == 'k' && object.value != nullptr) out_ += "<>";
      return true;
    }
    // A value without parts cannot lead back to itself: it needs neither mark nor steps.
    if (!object.isIndirection() && typeOps(object.typeCode).visitParts == nullptr) return writeValue(object);
    if (object.outputMark) {
      // Met again inside itself: a cycle through references ends here.
      out_ += "..";
      object.outputMark = 0;
      return true;
    }
    object.outputMark = 1;
    pending_.push_back({WriteStep::Unmark, &object, nullptr});
    return writeValue(object);
  }

  // Writes a plain value at once, or pushes the parts of a compound one.
  bool writeValue(Object& object) {
    if (object.isIndirection()) {
      part(*object.target());
      return true;
    }
    const TypeOps& row = typeOps(object.typeCode);
    if (row.writeText == nullptr) {
      failure_ = fillKey("ausdattypnicerl", {typeName(object, true)});
      return false;
    }
    size_t layoutStart = pending_.size();
    row.writeText(object, out_, *this);
    std::reverse(pending_.begin() + static_cast<std::ptrdiff_t>(layoutStart), pending_.end());
    return true;
  }

  std::string& out_;
  // Set by the value that stopped the walk.
  Failure failure_;
  // Steps still to do; the last one is next.
  std::vector<WriteStep> pending_;
};

}  // namespace

Failure writeText(const Object& object, std::string& out) {
  // Writing only sets and clears the cycle marks; the value itself is not changed.
  return TextWriter(out).run(const_cast<Object&>(object));
}

std::string textForm(const Object& object) {
  std::string out;
  // Hash buckets are its one use: a value without text form still writes the same part
  // before the walk stops, every time, so equal keys keep landing in the same bucket.
  (void)writeText(object, out);
  return out;
}

}  // namespace kavor
