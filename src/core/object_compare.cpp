// Type names of Objects and structural equality.
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

std::string typeName(const Object& object, bool actual) { return std::string(typeNameView(object, actual)); }

bool sameTarget(const Object& a, const Object& b) {
  const Object* left = a.isIndirection() ? a.target() : &a;
  const Object* right = b.isIndirection() ? b.target() : &b;
  return left == right;
}

bool hasTypedIndirection(const Object& object) {
  for (Object* head : {object.referenceChain, object.aliasChain, object.callAliasChain}) {
    for (Object* member = head; member != nullptr; member = member->chainNext) {
      if (member->methodBusy == 0 && member->typeCode != 'v' && !isHeldCode(member->typeCode))
        return true;
    }
  }
  return false;
}

namespace {

// One structural comparison: the Objects it marked with a partner, so that all marks are
// cleared at the end whichever way the comparison went.
class Comparison final : public PartComparison {
 public:
  ~Comparison() {
    for (Object* object : marked_) object->comparePartner = nullptr;
  }

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
      if (!strict) mark(*left, *right);
      return compare(*left->target(), *right->target(), strict);
    }
    if (left->base() != right->base()) return false;
    bool leftDefined = left->isDefined(), rightDefined = right->isDefined();
    if (leftDefined != rightDefined) return false;
    if (left->comparePartner != nullptr) return true;
    mark(*left, *right);
    if (!leftDefined) return true;
    return typeOps(left->typeCode).equals(*left, *right, *this);
  }

  // References that were compared must point at corresponding Objects.
  bool referencesCorrespond() const {
    for (Object* object : marked_) {
      if (!isReferenceCode(object->typeCode) || object->value == nullptr) continue;
      Object* partner = object->comparePartner;
      if (partner == nullptr || !isReferenceCode(partner->typeCode)) continue;
      Object* leftTarget = object->target();
      Object* rightTarget = partner->target();
      if (leftTarget->comparePartner != nullptr) {
        if (leftTarget->comparePartner != rightTarget) return false;
      } else if (leftTarget != rightTarget) {
        return false;
      }
    }
    return true;
  }

 private:
  void mark(Object& a, Object& b) {
    if (a.comparePartner == nullptr) marked_.push_back(&a);
    a.comparePartner = &b;
  }

  std::vector<Object*> marked_;
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
