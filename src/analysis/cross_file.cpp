// Definitions that collide between files: a name that a file's outermost scope defines and a
// file it brings in (directly or through others) defines again would make every use of it
// depend on which file was searched first, so it is refused. Files brought in side by side
// may share names; each sees its own.
#include <algorithm>

#include "analysis/analyzer.h"
#include "analysis/symbol_table.h"
#include "core/error.h"
#include "core/messages.h"

namespace kavor::analysis {

namespace {

// The roots of every file `root` brings in, directly or through others, each once.
std::vector<TreeNode*> modulesBelow(TreeNode& root) {
  std::vector<TreeNode*> found;
  std::vector<TreeNode*> pending(root.symbols->modules.rbegin(), root.symbols->modules.rend());
  while (!pending.empty()) {
    TreeNode* module = pending.back();
    pending.pop_back();
    if (std::find(found.begin(), found.end(), module) != found.end()) continue;
    found.push_back(module);
    const std::vector<TreeNode*>& inner = module->symbols->modules;
    pending.insert(pending.end(), inner.rbegin(), inner.rend());
  }
  return found;
}

// Refuses the first routine of `own` whose name `other` defines as well; `kindKey` names
// the kind in the message.
void compareRoutines(const Analysis& analysis, const std::vector<std::unique_ptr<Routine>>& routines,
                     bool functions, const SymbolTable& other) {
  for (const std::unique_ptr<Routine>& routine : routines) {
    if (routine->isFunction != functions) continue;
    const auto& table = functions ? other.functions : other.procedures;
    auto found = table.find(routine->name);
    if (found == table.end() || found->second.empty()) continue;
    analysis.fail(*routine->definition,
                  fillKey("schdefbei", {message(functions ? "fun" : "pro"), routine->name,
                                        analysis.positionOf(*found->second.front()->definition)}),
                  ErrorKind::Analysis);
  }
}

void compareScopes(const Analysis& analysis, const SymbolTable& own, const SymbolTable& other) {
  for (TreeNode* variable : own.allocation) {
    auto found = other.variables.find(variable->text);
    if (found != other.variables.end())
      analysis.fail(*variable, fillKey("varschdefbei", {variable->text, analysis.positionOf(*found->second)}),
                    ErrorKind::Analysis);
  }
  for (const auto& [name, definition] : own.types) {
    auto found = other.types.find(name);
    if (found != other.types.end())
      analysis.fail(*definition, fillKey("dattypschdefbei", {name, analysis.positionOf(*found->second)}),
                    ErrorKind::Analysis);
  }
  compareRoutines(analysis, own.routines, false, other);
  compareRoutines(analysis, own.routines, true, other);
}

}  // namespace

void checkCrossFileDefinitions(const Analysis& analysis) {
  for (TreeNode* file : analysis.files)
    for (TreeNode* module : modulesBelow(*file)) compareScopes(analysis, *file->symbols, *module->symbols);
}

}  // namespace kavor::analysis
