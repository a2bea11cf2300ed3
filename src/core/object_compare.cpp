// Type names of Objects and structural equality.
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/object.h"
#include "core/payloads.h"
#include "core/type_table.h"

namespace kavor {

namespace {

std::string_view typeNameView(const Object& object, bool actual) {
  const Object* current = &object;
  // Indirections report their target's type; a chain ends at a plain value.
  for (int steps = 0; steps < 1000; ++steps) {
    if (!actual && isHeldCode(current->typeCode) && current->typeCode != 'V') return "any";
    if (current->typeCode == 'V') return "any";
    if (current->isIndirection()) {
      if (current->value == nullptr) return "?";
      current = current->target();
      continue;
    }
    if (current->base() == 'k') {
      const auto* user = static_cast<const UserValue*>(current->value);
      if (user == nullptr || user->type == nullptr) return "?";
      return user->type->name;
    }
    return typeNameOfCode(current->typeCode);
  }
  return "?";
}

}  // namespace

std::string_view actualTypeName(const Object& object) { return typeNameView(object, true); }

namespace {

// The Object whose type typeName(object, true) names: indirections followed; null for a
// broken chain ("?").
const Object* namedObject(const Object& object) {
  const Object* current = &object;
  for (int steps = 0; steps < 1000 && current->isIndirection(); ++steps) {
    if (current->value == nullptr) return nullptr;
    current = current->target();
  }
  return current->isIndirection() ? nullptr : current;
}

}  // namespace

bool sameActualType(const Object& a, const Object& b) {
  const Object* left = namedObject(a);
  const Object* right = namedObject(b);
  // Built-in types have one name per base code; user-defined ones are told apart by their
  // records, so two types of the same name in two modules differ.
  if (left != nullptr && right != nullptr && left->base() != 'k' && right->base() != 'k')
    return left->base() == right->base();
  if (left != nullptr && right != nullptr && left->base() == 'k' && right->base() == 'k')
    return left->value != nullptr && right->value != nullptr && left->asUser().type == right->asUser().type;
  return actualTypeName(a) == actualTypeName(b);
}

std::string typeName(const Object& object, bool actual) { return std::string(typeNameView(object, actual)); }

bool sameTarget(const Object& a, const Object& b) {
  const Object* left = a.isIndirection() ? a.target() : &a;
  const Object* right = b.isIndirection() ? b.target() : &b;
  return left == right;
}

bool hasTypedIndirection(const Object& object) {
  if (!object.hasLinks()) return false;
  for (Object* head : {object.referenceChain(), object.aliasChain(), object.callAliasChain()}) {
    for (Object* member = head; member != nullptr; member = member->chainNext()) {
      if (member->methodBusy == 0 && member->typeCode != 'v' && !isHeldCode(member->typeCode))
        return true;
    }
  }
  return false;
}

namespace {

// The partners of one structural comparison: each Object compared is marked with the one it
// was compared with, so a value met again inside itself counts as equal there (the cycle
// guard) and compared references can be checked to point at corresponding Objects. Most
// comparisons mark one or two Objects, so the first few marks need no allocation.
class PartnerMarks {
 public:
  Object* partnerOf(const Object* object) const {
    for (size_t i = 0; i < inlineCount_; ++i)
      if (inline_[i].first == object) return inline_[i].second;
    if (spill_.empty()) return nullptr;
    auto found = spill_.find(object);
    return found == spill_.end() ? nullptr : found->second;
  }
  // Marks `object` (again) with `partner`; `marked` lists every Object once.
  void mark(Object* object, Object* partner) {
    for (size_t i = 0; i < inlineCount_; ++i) {
      if (inline_[i].first == object) {
        inline_[i].second = partner;
        return;
      }
    }
    if (inlineCount_ < kInline) {
      inline_[inlineCount_++] = {object, partner};
      marked_.push_back(object);
      return;
    }
    auto [entry, added] = spill_.try_emplace(object, partner);
    entry->second = partner;
    if (added) marked_.push_back(object);
  }
  const std::vector<Object*>& marked() const { return marked_; }

 private:
  static constexpr size_t kInline = 4;
  std::pair<const Object*, Object*> inline_[kInline];    // the first marks
  size_t inlineCount_ = 0;                               // marks in inline_
  std::unordered_map<const Object*, Object*> spill_;     // every further mark
  std::vector<Object*> marked_;                          // every marked Object, in order
};

// One structural comparison.
class Comparison final : public PartComparison {
 public:
  bool same(Object& a, Object& b, bool strict) override { return compare(a, b, strict); }

  bool compare(Object& a, Object& b, bool strict) {
    Object* left = &a.resolve();
    Object* right = &b.resolve();
    bool leftRef = isReferenceCode(left->typeCode) && left->value != nullptr;
    bool rightRef = isReferenceCode(right->typeCode) && right->value != nullptr;
    if (leftRef != rightRef) {
      if (!strict) return false;
      return compare(leftRef ? *left->target() : *left, rightRef ? *right->target() : *right, strict);
    }
    if (leftRef) {
      if (!strict) marks_.mark(left, right);
      return compare(*left->target(), *right->target(), strict);
    }
    if (left->base() != right->base()) return false;
    bool leftDefined = left->isDefined(), rightDefined = right->isDefined();
    if (leftDefined != rightDefined) return false;
    if (marks_.partnerOf(left) != nullptr) return true;
    marks_.mark(left, right);
    if (!leftDefined) return true;
    return typeOps(left->typeCode).equals(*left, *right, *this);
  }

  // References that were compared must point at corresponding Objects.
  bool referencesCorrespond() const {
    for (Object* object : marks_.marked()) {
      if (!isReferenceCode(object->typeCode) || object->value == nullptr) continue;
      Object* partner = marks_.partnerOf(object);
      if (partner == nullptr || !isReferenceCode(partner->typeCode)) continue;
      Object* leftTarget = object->target();
      Object* rightTarget = partner->target();
      if (Object* targetPartner = marks_.partnerOf(leftTarget)) {
        if (targetPartner != rightTarget) return false;
      } else if (leftTarget != rightTarget) {
        return false;
      }
    }
    return true;
  }

 private:
  PartnerMarks marks_;
};

}  // namespace

bool equals(Object& a, Object& b, bool strict) {
  Comparison comparison;
  bool result = comparison.compare(a, b, strict);
  if (result && strict) result = comparison.referencesCorrespond();
  return result;
}

bool referenceEquals(Object& a, Object& b) {
  bool leftRef = isReferenceCode(a.typeCode), rightRef = isReferenceCode(b.typeCode);
  if (leftRef || rightRef) return leftRef && rightRef && a.target() == b.target();
  return equals(a, b, true);
}

}  // namespace kavor
