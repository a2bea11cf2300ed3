// Scopes: what a block, a procedure body or the program defines, found by name.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/object.h"
#include "core/payloads.h"
#include "frontend/tree_node.h"

namespace kavor {

struct TreeNode;
struct TypeRecord;

// Argument modes of parameters.
namespace ArgMode {
constexpr int ConstInput = -2;     // `<type> <names>` in the input list
constexpr int VariableInput = 2;   // `<type>:$ <names>` in the input list
constexpr int Output = -1;         // `<type> <names>` in the output list
constexpr int VariableOutput = 1;  // `<type>:$ <names>` in the output list
}  // namespace ArgMode

// One parameter of a procedure or function.
struct Parameter {
  TreeNode* nameNode;    // defining name node; its slot in the body's frames is the parameter
  std::string typeName;  // as written: "int", "args", a user type's name
  TypeCode code;         // typeCodeOf(typeName)
  int mode;              // an ArgMode value
  TypeRecord* type = nullptr;  // for a user-defined type (code 'k'): its record
};

// A procedure or function definition.
struct Routine {
  std::string name;
  bool isFunction = false;
  TreeNode* definition = nullptr;  // the definition statement (errors, "already defined at")
  TreeNode* body = nullptr;        // the `{...}` block; it owns the scope of the parameters
  std::vector<Parameter> inputs;
  std::vector<Parameter> outputs;
  int argsIndex = -1;  // position of the `args` input, -1 when there is none
  std::string key;     // signature key: name, "§", input type names each with ";", "§"
  // For a type procedure or type function: the type it belongs to (it runs with an object of
  // that type or of a type derived from it as the current object); null otherwise.
  TypeRecord* ownerType = nullptr;
};

// The definitions of one scope; a tree node owns the table of the scope it opens.
struct SymbolTable {
  bool isTypeScope = false;  // the body of a type definition
  // Variable name -> defining name node.
  std::unordered_map<std::string, TreeNode*> variables;
  // The defining name nodes in definition order: created on entry, destroyed on exit.
  std::vector<TreeNode*> allocation;
  // Type name -> defining node.
  std::unordered_map<std::string, TreeNode*> types;
  // Name -> overloads, in definition order.
  std::unordered_map<std::string, std::vector<Routine*>> procedures;
  std::unordered_map<std::string, std::vector<Routine*>> functions;
  // Owns every routine defined in this scope.
  std::vector<std::unique_ptr<Routine>> routines;
  // For a type scope: the type whose body this is; null for other scopes.
  TypeRecord* type = nullptr;
  // Where name lookup continues after this scope when that is not the tree parent: the body
  // of the type that a `proc T:name` written outside it belongs to. Null otherwise.
  TreeNode* lexicalParent = nullptr;
  // For a type scope: the blocks of the extensions `T += {...}` of the type, in text order;
  // their definitions belong to the body as if written at its end.
  std::vector<TreeNode*> extensions;
  // Owns the records of the types this scope defines.
  std::vector<std::unique_ptr<TypeRecord>> typeRecords;

  // Adds a variable to `allocation`; its slot is its position there.
  void allocate(TreeNode& name) {
    name.slotScope = this;
    name.slot = static_cast<int32_t>(allocation.size());
    allocation.push_back(&name);
  }

  // --- execution ---
  // The activations of this scope, innermost last: each points at the first of the
  // allocation.size() Objects of one activation on the executor's frame stack, the variable
  // allocation[i] being the Object at slot i. Empty while the scope is not running.
  std::vector<Object*> frames;
};

// A new empty table, owned the way a tree node owns the table of its scope.
inline std::unique_ptr<SymbolTable, SymbolTableRelease> newSymbolTable() {
  return std::unique_ptr<SymbolTable, SymbolTableRelease>(new SymbolTable());
}

}  // namespace kavor
