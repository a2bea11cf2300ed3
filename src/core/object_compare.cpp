// Type names of Objects and structural equality.
#include <unordered_map>
#include <vector>

#include "core/containers.h"
#include "core/object.h"
#include "core/payloads.h"
#include "numbers/bigint.h"
#include "numbers/bigreal.h"
#include "streams/file_data.h"
#include "streams/str_data.h"
#include "types/array.h"
#include "types/date_time.h"
#include "types/graph.h"

namespace kavor {

const char* typeNameOfCode(TypeCode code) {
  switch (baseCode(code)) {
    case '0': return "date";
    case '2': return "timezone";
    case '4': return "datetime";
    case 'a': return "array";
    case 'b': return "bool";
    case 'c': return "char";
    case 'd': return "dir";
    case 'e': return "error";
    case 'f': return "file";
    case 'g': return "graph";
    case 'h': return "hash";
    case 'i': return "int";
    case 'l': return "list";
    case 'm': return "set";
    case 'n': return "sys";
    case 'o': return "oper";
    case 'r': return "real";
    case 's': return "str";
    case 't': return "time";
    case 'u': return "any2";
    case 'v': return "any";
    case 'x': return "code";
    case 'y': return "args";
    case 'z': return "array2";
    default: return "?";
  }
}

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

TypeCode typeCodeOf(const std::string& name) {
  static const std::unordered_map<std::string, TypeCode> codes = {
      {"bool", 'b'},  {"int", 'i'},     {"real", 'r'},  {"char", 'c'},   {"str", 's'},
      {"file", 'f'},  {"dir", 'd'},     {"any", 'v'},   {"list", 'l'},   {"args", 'y'},
      {"hash", 'h'},  {"array", 'a'},   {"array2", 'z'}, {"set", 'm'},   {"code", 'x'},
      {"oper", 'o'},  {"error", 'e'},   {"sys", 'n'},   {"graph", 'g'},  {"any2", 'u'},
      {"time", 't'},  {"date", '0'},    {"timezone", '2'}, {"datetime", '4'}};
  auto found = codes.find(name);
  return found == codes.end() ? 'k' : found->second;
}

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
class Comparison {
 public:
  ~Comparison() {
    for (Object* object : marked_) object->comparePartner = nullptr;
  }

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
    return compareValues(*left, *right);
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

  bool compareValues(Object& a, Object& b) {
    switch (a.base()) {
      case '0': return a.asDate() == b.asDate();
      case '2': return a.asTimezone() == b.asTimezone();
      case '4': return a.asDateTime() == b.asDateTime();
      case 't': return a.asTime() == b.asTime();
      case 'a': return a.asArray() == b.asArray();
      case 'z': return a.asArray2() == b.asArray2();
      case 'g': return a.asGraph() == b.asGraph();
      case 'b': case 'c': case 'o': case 'n': return a.word == b.word;
      case 'd': return a.asDir() == b.asDir();
      case 'e': return a.asError() == b.asError();
      case 'f': return a.asFile().name == b.asFile().name;
      case 'i': return a.asInt() == b.asInt();
      case 'r': return a.asReal() == b.asReal();
      case 's': return zeroTerminated(a.asStr().text) == zeroTerminated(b.asStr().text);
      case 'x': return a.asCode().tree == b.asCode().tree;
      case 'l': case 'y': {
        ListRecord& left = a.asList();
        ListRecord& right = b.asList();
        if (left.size() != right.size()) return false;
        for (size_t i = 0; i < left.size(); ++i)
          if (!compare(left.at(i), right.at(i), false)) return false;
        return true;
      }
      case 'h': case 'm': {
        HashTable& left = a.asHash();
        HashTable& right = b.asHash();
        if (left.count != right.count) return false;
        for (HashEntry* entry : left.entries()) {
          HashEntry* other = right.find(*entry->key);
          if (other == nullptr) return false;
          if (a.base() == 'h' && entry->value && other->value &&
              !compare(*entry->value, *other->value, false))
            return false;
        }
        return true;
      }
      case 'u': {
        Any2Value& left = a.asAny2();
        Any2Value& right = b.asAny2();
        return compare(left.first, right.first, true) && compare(left.second, right.second, true);
      }
      case 'k': {
        UserValue& left = a.asUser();
        UserValue& right = b.asUser();
        if (left.type != right.type) return false;
        const MemberGroups& lg = *left.groups;
        const MemberGroups& rg = *right.groups;
        if (lg.size() != rg.size()) return false;
        for (size_t g = 0; g < lg.size(); ++g) {
          if (lg[g].size() != rg[g].size()) return false;
          for (size_t m = 0; m < lg[g].size(); ++m)
            if (!compare(*lg[g][m], *rg[g][m], false)) return false;
        }
        return true;
      }
      default: return true;
    }
  }

  static std::string_view zeroTerminated(const std::string& text) {
    size_t end = text.find('\0');
    return std::string_view(text).substr(0, end);
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
