// Scopes: what a block, a procedure body or the program defines, found by name.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
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
  // The whole routine compiled to word code, made by the executor at its first call with
  // word arguments: a part of kind WordRoutine, or of kind None when the routine has no such
  // form. Null until then.
  std::unique_ptr<CompiledPart> wordForm;
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
  // For the outermost scope of a file: the roots of the files it brings in with `need`, in
  // the order of inclusion (a file brought in twice once). Their definitions are visible
  // wherever this file's own outermost ones are.
  std::vector<TreeNode*> modules;
  // For the outermost scope of an included file: the name `::` calls it by, the file name
  // without directory and extension ("geometry" for "lib/geometry.kv").
  std::string moduleName;
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

// The first answer that is not null of `find` over the scopes visible from `node`, nearest
// first: the enclosing scopes up to the outermost one of the node's file, then the outermost
// scopes of the files that file brings in, depth first in the order of inclusion (the
// inclusion pass refuses cycles, so the search ends).
template <class Find>
auto findVisible(TreeNode& node, Find find) -> decltype(find(std::declval<SymbolTable&>())) {
  TreeNode* scope = &node;
  while (scope->parent != nullptr) {
    if (scope->symbols)
      if (auto found = find(*scope->symbols)) return found;
    // The body of `proc T:name` written outside its type goes on in the type's body; the
    // analysis links calls and other scopes to the scope around them; other nodes climb.
    if (scope->symbols && scope->symbols->lexicalParent != nullptr) scope = scope->symbols->lexicalParent;
    else scope = scope->enclosingScope != nullptr ? scope->enclosingScope : scope->parent;
  }
  std::vector<TreeNode*> pending{scope};
  while (!pending.empty()) {
    TreeNode* file = pending.back();
    pending.pop_back();
    if (!file->symbols) continue;
    if (auto found = find(*file->symbols)) return found;
    const std::vector<TreeNode*>& modules = file->symbols->modules;
    pending.insert(pending.end(), modules.rbegin(), modules.rend());
  }
  return {};
}

// The root of the file a module path names, seen from `node`: `path` is module names, each
// followed by byte 27 (`a::b::x` has the path "a\x1bb\x1b"). Each name is looked for depth
// first among the files the one before brings in, the first among those of the node's own
// file. Null when a name finds no file.
TreeNode* findModule(TreeNode& node, std::string_view path);

// findVisible for a name that may carry a module path ("a\x1bx"): then the scopes searched
// are those visible from the module's outermost scope. `find` gets each table and the name
// without its path.
template <class Find>
auto findVisibleName(TreeNode& node, const std::string& name, Find find)
    -> decltype(find(std::declval<SymbolTable&>(), name)) {
  size_t end = name.rfind('\x1b');
  if (end == std::string::npos) return findVisible(node, [&](SymbolTable& table) { return find(table, name); });
  TreeNode* module = findModule(node, std::string_view(name).substr(0, end + 1));
  if (module == nullptr) return {};
  const std::string last = name.substr(end + 1);
  return findVisible(*module, [&](SymbolTable& table) { return find(table, last); });
}

// A name as the program writes it: the module separators of its text shown as "::".
std::string displayName(const std::string& name);

// A new empty table, owned the way a tree node owns the table of its scope.
inline std::unique_ptr<SymbolTable, SymbolTableRelease> newSymbolTable() {
  return std::unique_ptr<SymbolTable, SymbolTableRelease>(new SymbolTable());
}

}  // namespace kavor
