#include "analysis/symbol_table.h"

namespace kavor {

void SymbolTableRelease::operator()(SymbolTable* table) const { delete table; }

TreeNode* findModule(TreeNode& node, std::string_view path) {
  TreeNode* file = &node;
  while (file->parent != nullptr) file = file->parent;
  while (!path.empty()) {
    size_t end = path.find('\x1b');
    std::string_view name = path.substr(0, end);
    path.remove_prefix(end + 1);
    TreeNode* found = nullptr;
    std::vector<TreeNode*> pending;
    if (file->symbols) pending.assign(file->symbols->modules.rbegin(), file->symbols->modules.rend());
    while (!pending.empty() && found == nullptr) {
      TreeNode* module = pending.back();
      pending.pop_back();
      if (module->symbols->moduleName == name) found = module;
      const std::vector<TreeNode*>& inner = module->symbols->modules;
      pending.insert(pending.end(), inner.rbegin(), inner.rend());
    }
    if (found == nullptr) return nullptr;
    file = found;
  }
  return file;
}

std::string displayName(const std::string& name) {
  std::string shown;
  for (char c : name) {
    if (c == '\x1b') shown += "::";
    else shown += c;
  }
  return shown;
}

}  // namespace kavor
