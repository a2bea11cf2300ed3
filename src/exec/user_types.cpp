// Values of user-defined types at run time. A value holds one member group per entry of its
// type's inheritance list; a member is found by the type that defines it (its group) and
// its slot in that type's body. Routines of a type run with the value as current object.
#include "exec/user_types.h"

#include <unordered_map>

#include "analysis/symbol_table.h"
#include "core/error.h"
#include "core/messages.h"
#include "core/payloads.h"
#include "exec/calls.h"
#include "exec/operators_common.h"
#include "frontend/keywords.h"
#include "frontend/tree_shapes.h"
#include "streams/str_data.h"

namespace kavor {

namespace {

// The member Object of `value` defined as `definition` (a name in a type's body), or null
// when the value's type does not include that type.
Object* memberAt(Object& value, const TreeNode& definition) {
  UserValue& user = value.asUser();
  if (!user.groups || user.type == nullptr) return nullptr;
  int group = user.type->groupOf(definition.slotScope->type);
  if (group < 0) return nullptr;
  auto& members = (*user.groups)[group];
  if (static_cast<size_t>(definition.slot) >= members.size()) return nullptr;
  return members[definition.slot].get();
}

// The defining node of member `name` within `type`'s lineage (within that of `qualifier`,
// a basic type of `type`, when one is given), or null.
const TreeNode* findMember(const TypeRecord& type, const TypeRecord* qualifier, const std::string& name) {
  for (const TypeRecord* part : (qualifier != nullptr ? qualifier : &type)->lineage) {
    auto& members = part->body->symbols->variables;
    auto found = members.find(name);
    if (found != members.end()) return found->second;
  }
  return nullptr;
}

}  // namespace

TypeRecord* typeNamed(TreeNode& node, const std::string& name) {
  for (TreeNode* scope = &node; scope != nullptr;
       scope = scope->symbols && scope->symbols->lexicalParent ? scope->symbols->lexicalParent : scope->parent) {
    if (!scope->symbols) continue;
    auto found = scope->symbols->types.find(name);
    if (found != scope->symbols->types.end()) return found->second->varType;
  }
  return nullptr;
}

namespace {

// Checks that `qualifier` (the node T of `T:...`) names a basic type of `type` and returns it.
const TypeRecord* checkedQualifier(Executor& exec, TreeNode& qualifier, const TypeRecord& type) {
  if (isTypeWord(qualifier.text))
    exec.raise(qualifier, fillKey("typspedattypnicerl", {qualifier.text, type.name}));
  const TypeRecord* named = qualifier.varType;
  if (named == nullptr || type.groupOf(named) < 0)
    exec.raise(qualifier, fillKey("fuedattypkeibasdattyp", {type.name, qualifier.text}));
  return named;
}

// "<type>:<method>", the context under which a method of a user value fails, as for the
// methods of the built-in types.
std::string methodContext(const TypeRecord& type, const std::string& method) { return type.name + ":" + method; }

// The type named by the str argument `index` of a built-in method, which must be on the
// lineage of `type`.
const TypeRecord* lineageTypeArgument(Executor& exec, TreeNode& call, const TypeRecord& type, const std::string& name) {
  for (const TypeRecord* part : type.lineage)
    if (part->name == name) return part;
  std::string context = methodContext(type, call.text);
  if (typeNamed(call, name) == nullptr) exec.raise(call, NameKind::Function, context, fillKey("unbdattypxxx", {name}));
  exec.raise(call, NameKind::Function, context, fillKey("basdattypexinic", {name}));
}

// The built-in methods every user value answers: bases(), vars(type), get(type, member).
// False when the call is none of them.
bool callBuiltinMethod(Executor& exec, TreeNode& call, ResultList& args, ResultList* results, Object& target,
                       int access) {
  const std::string& name = call.text;
  if (results == nullptr || (name != "bases" && name != "vars" && name != "get")) return false;
  auto isStr = [&](size_t i) { return args[i].object->resolve(true).base() == 's'; };
  auto text = [&](size_t i) { return args[i].object->resolve(true).asStr().text; };
  const TypeRecord& type = *target.asUser().type;
  if (name == "bases" && args.size() == 0) {
    for (const TypeRecord* part : type.lineage) {
      auto value = std::make_unique<Object>('s');
      value->asStr().text = part->name;
      results->pushOwned(std::move(value), Access::ConstResult);
    }
    return true;
  }
  if (name == "vars" && args.size() == 1 && isStr(0)) {
    const TypeRecord* part = lineageTypeArgument(exec, call, type, text(0));
    for (const TreeNode* member : part->body->symbols->allocation) {
      auto value = std::make_unique<Object>('s');
      value->asStr().text = member->text;
      results->pushOwned(std::move(value), Access::ConstResult);
    }
    return true;
  }
  if (name == "get" && args.size() == 2 && isStr(0) && isStr(1)) {
    const TypeRecord* part = lineageTypeArgument(exec, call, type, text(0));
    const TreeNode* member = findMember(type, part, text(1));
    if (member == nullptr)
      exec.raise(call, NameKind::Function, methodContext(type, name), fillKey("dattyphatkeimem", {part->name, text(1)}));
    results->push(memberAt(target, *member), access <= Access::ConstObject ? Access::ConstMember : Access::Member,
                  false);
    return true;
  }
  return false;
}

// Why a call on a user value finds no routine.
Failure missingTypeRoutine(const std::string& name, const TypeRecord& type, bool wantFunction) {
  if (typeRoutines(type, name, !wantFunction) != nullptr)
    return Failure(message(wantFunction ? "nurfundueausaufger" : "nurprodueanwausgef"));
  std::string suffix = " (" + std::string(message("dattyp")) + " '" + type.name + "')";
  return Failure(notDefinedText(message(wantFunction ? "typfun" : "typpro"), name, suffix));
}

// Prototypes are built depth first over member types; a type met again while its own
// prototype is being built contains itself and has no finite value.
struct PrototypeBuilder {
  Executor& exec;
  std::unordered_map<TypeRecord*, int> state;  // 1 while being built, 2 when done

  void build(TypeRecord& type, const TreeNode* where) {
    if (state[&type] == 2) return;
    if (state[&type] == 1) exec.raise(*where, fillKey("dattypnicall", {type.name}));
    state[&type] = 1;
    auto groups = std::make_unique<MemberGroups>();
    for (TypeRecord* part : type.lineage) {
      groups->emplace_back();
      for (TreeNode* member : part->body->symbols->allocation) {
        if (member->varType != nullptr) build(*member->varType, member);
        auto object = std::make_unique<Object>(member->varCode);
        if (member->varCode == 'k') {
          object->asUser().type = member->varType;
          object->createPayload();
        }
        initialise(*member, *object);
        groups->back().push_back(std::move(object));
      }
    }
    auto prototype = std::make_unique<Object>('k');
    prototype->asUser().type = &type;
    prototype->asUser().groups = std::move(groups);
    type.prototype = std::move(prototype);
    state[&type] = 2;
  }

  // `int x.(5)` in a body: the member's unnamed call with the literals.
  void initialise(TreeNode& member, Object& object) {
    TreeNode* item = member.parent;
    if (item == nullptr || !isOperatorNode(*item, '.') || item->left.get() != &member || !item->right) return;
    ExecContext context;
    try {
      callUnnamed(exec, *item->right, context, nullptr, object, Access::Variable);
    } catch (const ERROR&) {
      std::string typeName = member.varType != nullptr ? member.varType->name : typeNameOfCode(member.varCode);
      throw ERROR(fillKey("basininicmoetyp", {typeName}), ErrorKind::Analysis, exec.fileOf(*item), item->line);
    }
    exec.control.pending.reset();
  }
};

}  // namespace

const std::vector<Routine*>* typeRoutines(const TypeRecord& type, const std::string& name, bool functions) {
  for (const TypeRecord* part : type.lineage) {
    auto& table = functions ? part->body->symbols->functions : part->body->symbols->procedures;
    auto found = table.find(name);
    if (found != table.end()) return &found->second;
  }
  return nullptr;
}

Failure callTypeRoutine(Executor& exec, TreeNode& call, const ExecContext& context, ResultList* results,
                        Object& target, int access, const TypeRecord* qualifier) {
  bool wantFunction = results != nullptr;
  // An undefined value has no members to run on: reported like a method of a built-in type
  // called on an undefined object.
  if (!target.isDefined() || target.asUser().type == nullptr)
    exec.raise(call, wantFunction ? NameKind::Function : NameKind::Procedure, typeName(target, true) + ":" + call.text,
               message("insnicdef"));
  const TypeRecord& type = *target.asUser().type;
  ResultList args;
  evaluateArguments(exec, call, context, args);
  if (qualifier == nullptr && callBuiltinMethod(exec, call, args, results, target, access)) return Failure::none();
  const std::vector<Routine*>* candidates = typeRoutines(qualifier != nullptr ? *qualifier : type, call.text, wantFunction);
  if (candidates == nullptr) return missingTypeRoutine(call.text, qualifier != nullptr ? *qualifier : type, wantFunction);
  runTypeRoutine(exec, call, call.text, *candidates, context, args, results, {&target, access});
  return Failure::none();
}

Failure applyUserCompound(Executor& exec, TreeNode& node, char op, Object& target, Object& source) {
  std::string name{op, '='};
  if (!target.isDefined()) return Failure(undefinedOperand(name, true));
  if (!source.isDefined()) return Failure(undefinedOperand(name, false));
  const TypeRecord& type = *target.asUser().type;
  const std::vector<Routine*>* candidates = typeRoutines(type, name, false);
  if (candidates == nullptr) return missingTypeRoutine(name, type, false);
  ResultList args;
  args.push(&source, Access::ConstResult, false);
  runTypeRoutine(exec, node, name, *candidates, ExecContext{}, args, nullptr, {&target, Access::Variable});
  return Failure::none();
}

bool userLess(Executor& exec, TreeNode& node, const std::string& name, Object& left, Object& right) {
  const TypeRecord& type = *left.asUser().type;
  const std::vector<Routine*>* candidates = typeRoutines(type, "<", true);
  if (candidates == nullptr) exec.raise(node, NameKind::Operator, name, fillKey("fehopekledattyp", {type.name}));
  ResultList args, results;
  args.push(&right, Access::ConstResult, false);
  runTypeRoutine(exec, node, "<", *candidates, ExecContext{}, args, &results, {&left, Access::ConstResult});
  std::string prefix = fillKey("operkledattyp", {type.name});
  if (results.size() != 1) exec.raise(node, NameKind::Operator, name, prefix + message("erwgen1erg"));
  Object& answer = results[0].object->resolve(true);
  if (answer.base() != 'b' || answer.isEmpty()) exec.raise(node, NameKind::Operator, name, prefix + message("erwbooerg"));
  return answer.boolValue();
}

bool writeByOutProcedure(Executor& exec, TreeNode& node, Object& valueIn) {
  Object& value = valueIn.resolve(true);
  if (value.base() != 'k' || !value.isDefined() || value.asUser().type == nullptr) return false;
  const std::vector<Routine*>* candidates = typeRoutines(*value.asUser().type, "out", false);
  if (candidates == nullptr) return false;
  bool takesNothing = false;
  for (const Routine* routine : *candidates) takesNothing |= routine->inputs.empty();
  if (!takesNothing) return false;
  ResultList none;
  runTypeRoutine(exec, node, "out", *candidates, ExecContext{}, none, nullptr, {&value, Access::ConstResult});
  return true;
}

void buildPrototypes(Executor& exec, const std::vector<TypeRecord*>& types) {
  PrototypeBuilder builder{exec, {}};
  for (TypeRecord* type : types) builder.build(*type, type->body);
}

void evalMemberVariable(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  if (context.currentObject == nullptr) exec.raise(node, message("insexinic"));
  Object& self = context.currentObject->resolve(true);
  Object* member = self.base() == 'k' && self.isDefined() ? memberAt(self, *node.binding) : nullptr;
  if (member == nullptr) exec.raise(node, fillKey("dattyphatkeimem", {typeName(self, true), node.text}));
  results.push(member, context.objectMode < Access::Variable ? Access::ConstMember : Access::Member, false);
}

void appendMember(Executor& exec, TreeNode& item, Object& object, int objectAccess, const TypeRecord* qualifier,
                  ResultList& results) {
  const TypeRecord* type = object.asUser().type;
  const TreeNode* member = type != nullptr ? findMember(*type, qualifier, item.text) : nullptr;
  if (member == nullptr) {
    if (qualifier != nullptr)
      exec.raise(item, fillKey("dattyphatkeibasdattypmem", {typeName(object, true), qualifier->name, item.text}));
    exec.raise(item, fillKey("dattyphatkeimem", {typeName(object, true), item.text}));
  }
  results.push(memberAt(object, *member), objectAccess <= Access::ConstObject ? Access::ConstMember : Access::Member,
               false);
}

bool applyQualifiedItem(Executor& exec, TreeNode& item, const ExecContext& context, Object& object, int objectAccess,
                        ResultList* results) {
  if (!isOperatorNode(item, ':') || !item.left || !isPlainName(*item.left) || !item.right) return false;
  if (object.base() != 'k' || !object.isDefined()) return false;
  const TypeRecord* qualifier = checkedQualifier(exec, *item.left, *object.asUser().type);
  TreeNode& right = *item.right;
  if (isCallForm(right)) {
    Failure failure = callTypeRoutine(exec, right, context, results, object, objectAccess, qualifier);
    if (failure) exec.raise(right, failure.text());
    return true;
  }
  if (isPlainName(right) && results != nullptr) {
    appendMember(exec, right, object, objectAccess, qualifier, *results);
    return true;
  }
  return false;
}

bool callQualifiedOnThis(Executor& exec, TreeNode& node, const ExecContext& context, ResultList* results) {
  if (!node.left || !isPlainName(*node.left) || node.left->binding != nullptr || node.left->varType == nullptr)
    return false;
  if (context.currentObject == nullptr) exec.raise(node, message("thiverausmemfun"));
  int access = context.objectMode < Access::Variable ? Access::ConstObject : Access::ThisProcedure;
  Object& self = context.currentObject->resolve(true);
  if (!applyQualifiedItem(exec, node, context, self, access, results))
    exec.raise(node, message(results != nullptr ? "erwvarfunrecdop" : "erwprorecdop"));
  return true;
}

}  // namespace kavor
