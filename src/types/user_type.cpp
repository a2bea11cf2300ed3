// The row of user-defined values (`k`). The record (UserValue) stays with the Object while
// it has a type, also when the value is undefined; the value itself is the record's member
// groups, written "<m1,m2;m3>" with ";" between the groups. A type's empty value is its
// prototype.
#include "core/payloads.h"
#include "core/type_table.h"

namespace kavor {

namespace {

void destroyMembers(UserValue& user) {
  if (!user.groups) return;
  std::vector<std::unique_ptr<Object>> taken;
  for (auto& group : *user.groups)
    for (auto& member : group) taken.push_back(std::move(member));
  user.groups.reset();
  destroyTakenObjects(taken);
}

void copyMembers(Object& target, const Object& source) {
  UserValue& from = source.asUser();
  UserValue& into = target.asUser();
  into.type = from.type;
  auto groups = std::make_unique<MemberGroups>();
  for (const auto& group : *from.groups) {
    groups->emplace_back();
    for (const auto& member : group) {
      auto copy = std::make_unique<Object>();
      copy->constructLike(*member);
      copy->scopeVariable = member->scopeVariable;
      groups->back().push_back(std::move(copy));
    }
  }
  into.groups = std::move(groups);
}

// Puts the prototype's members into a user value whose record knows its type. The members
// are copied straight into the record: going through copyValue would, for a value held by
// an any, empty the any and create the held value again, which comes back here forever.
void assignPrototype(Object& object) {
  UserValue& user = object.asUser();
  if (user.type == nullptr || user.type->prototype == nullptr) return;
  const Object& prototype = *user.type->prototype;
  if (prototype.isDefined()) copyMembers(object, prototype);
}

bool sameMembers(Object& a, Object& b, PartComparison& parts) {
  UserValue& left = a.asUser();
  UserValue& right = b.asUser();
  if (left.type != right.type) return false;
  const MemberGroups& lg = *left.groups;
  const MemberGroups& rg = *right.groups;
  if (lg.size() != rg.size()) return false;
  for (size_t g = 0; g < lg.size(); ++g) {
    if (lg[g].size() != rg[g].size()) return false;
    for (size_t m = 0; m < lg[g].size(); ++m)
      if (!parts.same(*lg[g][m], *rg[g][m], false)) return false;
  }
  return true;
}

// Empty means equal to the prototype; a value whose type has none yet counts as empty.
bool equalsPrototype(const Object& object) {
  const UserValue& user = object.asUser();
  if (user.type == nullptr || user.type->prototype == nullptr) return true;
  return equals(const_cast<Object&>(object), *user.type->prototype, true);
}

void visitMembers(const Object& object, PartVisitor& visit) {
  if (!object.asUser().groups) return;
  for (auto& group : *object.asUser().groups)
    for (auto& member : group) visit.visit(*member);
}

void writeMembers(const Object& object, std::string&, TextParts& parts) {
  const MemberGroups& groups = *object.asUser().groups;
  parts.text("<");
  for (size_t g = 0; g < groups.size(); ++g) {
    if (g > 0) parts.text(";");
    for (size_t m = 0; m < groups[g].size(); ++m) {
      if (m > 0) parts.text(",");
      parts.part(*groups[g][m]);
    }
  }
  parts.text(">");
}

}  // namespace

extern constinit const TypeOps kUserOps = {
    .name = nullptr,
    .create =
        [](Object& object) {
          if (object.value != nullptr) assignPrototype(object);
        },
    .release = [](Object& object) { destroyMembers(object.asUser()); },
    .copy = copyMembers,
    .equals = sameMembers,
    .isEmpty = equalsPrototype,
    .makeEmpty =
        [](Object& object) {
          destroyMembers(object.asUser());
          assignPrototype(object);
        },
    .visitParts = visitMembers,
    .loopsRunning = nullptr,
    .writeText = writeMembers,
    .readText = nullptr,
};

}  // namespace kavor
