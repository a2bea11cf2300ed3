// The row of user-defined values (`k`). The record (UserValue) stays with the Object while
// it has a type, also when the value is undefined; the value itself is the record's member
// groups, written "<m1,m2;m3>" with ";" between the groups. A type's empty value is its
// prototype.
#include "core/binary_form.h"
#include "core/messages.h"
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

// Binary item: "k", the type's number in the value, "k"; the first time a type occurs its
// name and its layout follow (the group count and each group's member count, each ended by
// ":"), so that a reader whose type of that name has other members refuses the value
// instead of misplacing them. Then the members group by group.
void writeBinaryUser(const Object& object, std::string& out, TextParts& parts) {
  const UserValue& user = object.asUser();
  bool first;
  out += 'k' + std::to_string(parts.typeNumber(*user.type, first)) + 'k';
  if (first) {
    out += user.type->name + ':' + std::to_string(user.groups->size()) + ':';
    for (const auto& group : *user.groups) out += std::to_string(group.size()) + ':';
  }
  for (const auto& group : *user.groups)
    for (const auto& member : group) parts.part(*member);
}

// Reads the members into Objects made as they come, group by group as the item's layout
// says, so that no count in the input allocates ahead of the bytes. Once they are bound,
// each takes its declared type back from the prototype; a member of another type refuses the
// value as reading into a variable of that type would. A value of a type this program
// lacks is read whole all the same and then refused, so that the input goes on behind it.
class MemberSink final : public BinaryPartSink {
 public:
  MemberSink(BinaryInput& in, Object& target, std::vector<int64_t> layout)
      : in_(in), target_(target), layout_(std::move(layout)) {}

  Object* nextPart() override {
    MemberGroups& groups = *target_.asUser().groups;
    // Every group is opened as it comes, one without members of its own too.
    for (; group_ < layout_.size(); ++group_) {
      if (groups.size() == group_) groups.emplace_back();
      if (static_cast<int64_t>(groups[group_].size()) < layout_[group_])
        return groups[group_].emplace_back(std::make_unique<Object>()).get();
    }
    return nullptr;
  }

  bool complete() override {
    const TypeRecord* type = target_.asUser().type;
    if (type == nullptr) return true;  // refused already; nothing takes the members
    const MemberGroups& declared = *type->prototype->asUser().groups;
    MemberGroups& groups = *target_.asUser().groups;
    for (size_t g = 0; g < groups.size(); ++g)
      for (size_t m = 0; m < groups[g].size(); ++m)
        if (!takeDeclaredType(*groups[g][m], *declared[g][m])) return false;
    return true;
  }

 private:
  bool takeDeclaredType(Object& member, const Object& declared) {
    member.scopeVariable = declared.scopeVariable;
    // An `any` member keeps what was read, and so does a reference member.
    if (declared.isAny() || declared.isIndirection()) return true;
    // Only an `any` member can be a reference: the writer never makes a typed one.
    if (member.isIndirection()) return false;
    if (member.typeCode == 'v') {
      // An undefined member was written as nothing; it becomes undefined again.
      if (member.referenceChain() != nullptr) return false;
      member.constructLike(declared);
      member.clear(false);
      return true;
    }
    if (!sameActualType(member, declared)) {
      if (!in_.refusal()) in_.refuse(fillKey("einnurfuegledattyp", {typeName(declared, false), typeName(member, true)}));
      return true;
    }
    member.typeCode = declared.typeCode;
    return true;
  }

  BinaryInput& in_;               // the input, which outlives the sink
  Object& target_;                // the user value read; its groups grow as members arrive
  std::vector<int64_t> layout_;   // the member count of each group, as the item gave them
  size_t group_ = 0;              // the group the next member goes into
};

// The type of a user item: by its number when the value named it before, else by the name
// and layout that follow. Null for malformed bytes; a type this program lacks (or has with
// other members) is numbered all the same, with no record, and refuses the value.
const BinaryInput::ItemType* readUserType(BinaryInput& in) {
  int64_t number;
  if (!in.number(number, 'k')) return nullptr;
  if (const BinaryInput::ItemType* known = in.typeNumbered(number)) return known;
  // A type not met before takes the next number.
  std::string name;
  int64_t groupCount;
  if (number != in.typesNumbered() + 1 || !in.textUntil(':', name) || !in.number(groupCount, ':')) return nullptr;
  BinaryInput::ItemType item{nullptr, {}};
  for (int64_t g = 0; g < groupCount; ++g) {
    int64_t count;
    if (!in.number(count, ':')) return nullptr;
    item.layout.push_back(count);
  }
  TypeRecord* type = in.typeNamed(name);
  if (type == nullptr || type->prototype == nullptr || !type->prototype->isDefined()) {
    if (!in.refusal()) in.refuse(fillKey("binunbdattyp", {name}));
    return &in.numberType(std::move(item));
  }
  const MemberGroups& groups = *type->prototype->asUser().groups;
  bool same = item.layout.size() == groups.size();
  for (size_t g = 0; same && g < groups.size(); ++g) same = item.layout[g] == static_cast<int64_t>(groups[g].size());
  if (same) item.type = type;
  else if (!in.refusal()) in.refuse(fillKey("binanddattyp", {name}));
  return &in.numberType(std::move(item));
}

bool readBinaryUser(BinaryInput& in, char, Object& target) {
  const BinaryInput::ItemType* item = readUserType(in);
  if (item == nullptr) return false;
  target.asUser().type = item->type;
  target.asUser().groups = std::make_unique<MemberGroups>();
  in.expectParts(std::make_unique<MemberSink>(in, target, item->layout));
  return true;
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
    .writeBinary = writeBinaryUser,
    .readBinary = readBinaryUser,
};

}  // namespace kavor
