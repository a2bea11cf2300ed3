// The inclusion pass. A file is recognised by its real path, so that "lib.kv" and
// "./lib.kv" are one file to the cycle check and are read once.
#include "analysis/inclusion.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <map>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "analysis/symbol_table.h"
#include "core/error.h"
#include "core/failure.h"
#include "core/interpreter.h"
#include "core/messages.h"
#include "frontend/tree_builder.h"
#include "frontend/tree_shapes.h"
#include "streams/file_data.h"
#include "streams/source_search.h"

namespace kavor {

namespace {

// The path the system knows a file by, or the path itself when it cannot say.
std::string realPathOf(const std::string& path) {
  char buffer[PATH_MAX];
  if (::realpath(path.c_str(), buffer) == nullptr) return path;
  return buffer;
}

// The name `::` calls a file by: its name without directory and extension.
std::string moduleNameOf(const std::string& fileName) {
  std::string name = fileName.substr(fileName.find_last_of("/\\") + 1);
  if (size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

class Inclusion {
 public:
  explicit Inclusion(Interpreter& interp) : interp_(interp) {}

  void run(TreeNode& programRoot) {
    const std::string& programName = interp_.programArguments.empty() ? std::string() : interp_.programArguments[0];
    std::string path = findSourceFile(programName, interp_.settings.includeDirs).value_or(programName);
    chain_.push_back(realPathOf(path));
    includeInto(programRoot, directoryPart(path));
  }

 private:
  [[noreturn]] void fail(const TreeNode& node, const std::string& text, char kind) const {
    int index = node.fileIndex;
    bool included = index >= 0 && static_cast<size_t>(index) < interp_.sourceFiles.size();
    const std::string& file = included ? interp_.sourceFiles[index]
                              : interp_.programArguments.empty() ? std::string() : interp_.programArguments[0];
    throw ERROR(text, kind, file, node.line);
  }

  // Brings in the files the `need` statements of the file with root `root` name; the file
  // lies in `directory`.
  void includeInto(TreeNode& root, const std::string& directory) {
    if (!root.symbols) root.symbols = newSymbolTable();
    const std::vector<TreeNode*>& statements = statementsOf(root);
    refuseInnerInclusions(root, statements);
    for (TreeNode* statement : statements) {
      // `need` alone or written as a call names no file.
      if ((isPlainName(*statement) || isCallForm(*statement)) && statement->text == "need")
        fail(*statement, message("inkmusdatnamsei"), ErrorKind::Syntax);
      const std::string* word = leadingWordOf(*statement);
      if (word == nullptr || *word != "need") continue;
      for (TreeNode* item : rightItemsOf(*statement)) includeItem(root, *item, directory);
    }
    // The statements are split again once the analysis knows every type: `T x` declares a
    // variable only when T names a type, which the split must see.
    root.compiled->statementList.reset();
  }

  static const std::string* leadingWordOf(const TreeNode& node) {
    if (node.op != ' ' || node.op2 != 0 || !node.text.empty() || !node.left || !isPlainName(*node.left)) return nullptr;
    return &node.left->text;
  }

  // A `need` anywhere but among the statements of a file's outermost scope.
  void refuseInnerInclusions(TreeNode& root, const std::vector<TreeNode*>& statements) {
    std::vector<TreeNode*> pending{&root};
    while (!pending.empty()) {
      TreeNode* node = pending.back();
      pending.pop_back();
      const std::string* word = leadingWordOf(*node);
      if (word != nullptr && *word == "need" && std::find(statements.begin(), statements.end(), node) == statements.end())
        fail(*node, message("inknurerlaussco"), ErrorKind::Analysis);
      if (node->right) pending.push_back(node->right.get());
      if (node->left) pending.push_back(node->left.get());
    }
  }

  void includeItem(TreeNode& root, TreeNode& item, const std::string& directory) {
    refuseModuleNames(item);
    TreeNode* fileItem = &item;
    bool taken = true;
    if (isOperatorNode(item, ':')) {
      if (!item.left || !isPlainName(*item.left)) fail(item, message("erwappdatbedink"), ErrorKind::Syntax);
      taken = !interp_.settings.application.empty() && item.left->text == interp_.settings.application;
      fileItem = item.right.get();
    }
    if (fileItem == nullptr || fileItem->op != '"' || fileItem->op2 != 0)
      fail(fileItem != nullptr ? *fileItem : item, message("inkmusdatnamsei"), ErrorKind::Syntax);
    if (!taken) return;
    const std::string& name = fileItem->text;
    std::vector<std::string> places;
    if (directory != ".") places.push_back(directory);
    places.insert(places.end(), interp_.settings.includeDirs.begin(), interp_.settings.includeDirs.end());
    std::optional<std::string> path = name.empty() ? std::nullopt : findSourceFile(name, places);
    if (!path) fail(item, fillKey("zuinkldatexinic", {name}), ErrorKind::Analysis);
    std::string real = realPathOf(*path);
    if (std::find(chain_.begin(), chain_.end(), real) != chain_.end())
      fail(item, fillKey("zykinkdat", {name}), ErrorKind::Analysis);
    std::vector<TreeNode*>& modules = root.symbols->modules;
    if (auto known = read_.find(real); known != read_.end()) {
      // Read before on another path: visible here too, but its statements ran already.
      if (std::find(modules.begin(), modules.end(), known->second) == modules.end()) modules.push_back(known->second);
      return;
    }
    TreeNode& included = readFile(item, name, *path);
    included.symbols = newSymbolTable();
    included.symbols->moduleName = moduleNameOf(name);
    item.includedRoot = &included;
    modules.push_back(&included);
    read_[real] = &included;
    chain_.push_back(real);
    includeInto(included, directoryPart(*path));
    chain_.pop_back();
  }

  // Definitions and inclusions never name a module.
  void refuseModuleNames(TreeNode& item) {
    std::vector<TreeNode*> pending{&item};
    while (!pending.empty()) {
      TreeNode* node = pending.back();
      pending.pop_back();
      if (node->moduleName) fail(*node, fillKey("modopenicerlbei", {message("ink")}), ErrorKind::Syntax);
      if (node->right) pending.push_back(node->right.get());
      if (node->left) pending.push_back(node->left.get());
    }
  }

  TreeNode& readFile(const TreeNode& item, const std::string& name, const std::string& path) {
    FILE_DATA file(path);
    if (Failure failure = file.open("i")) fail(item, failure.text(), ErrorKind::Analysis);
    const std::vector<std::string> lines = readAllLines(file);
    file.close();
    int index = static_cast<int>(interp_.sourceFiles.size());
    interp_.sourceFiles.push_back(path);
    std::unique_ptr<TreeNode> tree = buildTree(path, lines, false, index);
    if (!tree) fail(item, fillKey("zuinkldatlee", {name}), ErrorKind::Analysis);
    interp_.includedTrees.resize(interp_.sourceFiles.size());
    interp_.includedTrees[index] = std::move(tree);
    return *interp_.includedTrees[index];
  }

  Interpreter& interp_;
  // The real paths of the files being brought in, the program file first: a file on it
  // that is named again would include itself.
  std::vector<std::string> chain_;
  // Every file read so far, by real path, with its root.
  std::map<std::string, TreeNode*> read_;
};

}  // namespace

void includeFiles(Interpreter& interp, TreeNode& programRoot) { Inclusion(interp).run(programRoot); }

}  // namespace kavor
