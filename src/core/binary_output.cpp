// Writing the binary object form. Two walks over the value in item order: the first
// numbers the Objects that references inside the value point to, in the order the walk
// meets those references; the second writes the items. Neither follows references, so each
// visits every Object of the value once, whatever cycles references make.
#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/binary_form.h"
#include "core/messages.h"
#include "core/type_table.h"

namespace kavor {

namespace {

const char kWriter[] = "pout()";

class BinaryWriter final : public TextParts {
 public:
  explicit BinaryWriter(std::string& out) : out_(out) {}

  Failure run(Object& root) {
    numbering_ = true;
    if (!walk(root)) return std::move(failure_);
    int32_t next = 1;
    for (const Object* target : referenced_) {
      if (!inside_.contains(target)) return fillKey("fueextrefnicerl", {kWriter});
      serials_[target] = next++;
    }
    numbering_ = false;
    out_.clear();
    if (!walk(root)) return std::move(failure_);
    return Failure::none();
  }

  // The layout a row lists goes onto the stack in writing order; visit then turns it
  // around, since the last step pushed is done first.
  void text(const char* literal) override { pending_.push_back({nullptr, literal, 0}); }
  void number(long long value) override { pending_.push_back({nullptr, nullptr, value}); }
  void part(Object& part) override { pending_.push_back({&part, nullptr, 0}); }
  int64_t typeNumber(const TypeRecord& type, bool& first) override {
    auto [entry, added] = types_.emplace(&type, static_cast<int64_t>(types_.size()) + 1);
    first = added;
    return entry->second;
  }

 private:
  // One step: a part to write, a literal piece, or (neither) a number.
  struct Step {
    Object* object;
    const char* text;
    long long number;
  };

  bool walk(Object& root) {
    pending_.clear();
    types_.clear();
    if (!visit(root)) return false;
    while (!pending_.empty()) {
      Step step = pending_.back();
      pending_.pop_back();
      if (step.object != nullptr) {
        if (!visit(*step.object)) return false;
      } else if (!numbering_) {
        if (step.text != nullptr) out_ += step.text;
        else out_ += std::to_string(step.number);
      }
    }
    return true;
  }

  bool visit(Object& object) {
    if (isReferenceCode(object.typeCode) && object.target() != nullptr) {
      const Object* target = object.target();
      if (numbering_) {
        if (seen_.insert(target).second) referenced_.push_back(target);
      } else {
        out_ += '@' + std::to_string(serials_.at(target)) + '@';
      }
      return true;
    }
    if (object.isIndirection() && object.target() != nullptr) {
      // Aliases live in scopes, not inside values; one met here has no item.
      failure_ = fillKey("fuedattypnicerl", {kWriter, typeName(object, true)});
      return false;
    }
    if (numbering_) {
      if (object.referenceChain() != nullptr) inside_.insert(&object);
    } else if (auto serial = serials_.find(&object); serial != serials_.end()) {
      out_ += '$' + std::to_string(serial->second) + '$';
    }
    if (!object.isDefined() || object.typeCode == 'v' || object.isIndirection()) {
      if (!numbering_) out_ += 'v';
      return true;
    }
    const TypeOps& row = typeOps(object.typeCode);
    if (row.writeBinary == nullptr) {
      failure_ = fillKey("fuedattypnicerl", {kWriter, typeName(object, true)});
      return false;
    }
    // Numbering needs only the parts, which values without them do not have.
    if (numbering_ && row.visitParts == nullptr) return true;
    size_t layoutStart = pending_.size();
    if (numbering_) {
      scratch_.clear();
      row.writeBinary(object, scratch_, *this);
    } else {
      row.writeBinary(object, out_, *this);
    }
    std::reverse(pending_.begin() + static_cast<std::ptrdiff_t>(layoutStart), pending_.end());
    return true;
  }

  std::string& out_;
  std::string scratch_;  // takes the items' own bytes while numbering
  bool numbering_ = true;
  Failure failure_;             // why the walk stopped
  std::vector<Step> pending_;   // steps still to do; the last one is next
  // Numbering: the Objects of the value that some reference points to (only they can be
  // targets), and the targets of the references met, in the order first met.
  std::unordered_set<const Object*> inside_;
  std::unordered_set<const Object*> seen_;
  std::vector<const Object*> referenced_;
  // Writing: the number of each target inside the value, 1, 2, 3, ...
  std::unordered_map<const Object*, int32_t> serials_;
  // The number of each user type met so far in the current walk.
  std::unordered_map<const TypeRecord*, int64_t> types_;
};

}  // namespace

Failure writeBinary(const Object& object, std::string& out) {
  // Writing reads the value and changes nothing in it.
  Object& root = const_cast<Object&>(object).resolve(true);
  return BinaryWriter(out).run(root);
}

}  // namespace kavor
