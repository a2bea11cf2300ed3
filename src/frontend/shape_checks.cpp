#include "frontend/shape_checks.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/error.h"
#include "core/messages.h"
#include "frontend/keywords.h"
#include "frontend/operators.h"

namespace kavor {

namespace {

bool isFlagged(const TreeNode& node) { return node.roundBracket || node.curlyBlock; }

bool isModuleOperand(const TreeNode* node) {
  return node && (node->moduleName || node->isOperator(':', ':'));
}

// An operator node without operands: "#" or an operator standing for itself.
bool isBareOperator(const TreeNode* node) {
  return node && node->isOperator() && !node->left && !node->right;
}

// Operators whose expressions may stand in round brackets.
bool mayBeBracketed(const TreeNode& node) {
  static const char* const kAllowed[] = {"#",  "%",  "*",  "+",  "-",  "/",  "^",  "!",  "<",  ">",
                                         "|",  "&",  "==", "!=", "!?", "!@", "??", "@@", "<=", ">=",
                                         "||", "&&", "..", ".:", ":.", "**", "->", "++", "--", "[]"};
  for (const char* op : kAllowed)
    if (node.op == op[0] && node.op2 == op[1]) return true;
  return false;
}

// Operators that need both operands.
bool isStrictlyBinary(const TreeNode& node) {
  if (node.op2 == 0) return node.op != 0 && std::strchr(" :.,|&", node.op) != nullptr;
  return (node.op == ':' && node.op2 == '$') || (node.op == '-' && node.op2 == '>') || node.isJuxtaposition();
}

bool isUnary(const TreeNode& node) {
  return (node.op == '!' && node.op2 == 0) || (node.op == '+' && node.op2 == '+') ||
         (node.op == '-' && node.op2 == '-');
}

// The applied name of `proc p(...) {...}`, `proc T:p(...) {...}`, `bigtype T(...) {...}`:
// its argument lists are declarations, not call arguments.
bool isDefinitionHeader(const TreeNode& node) {
  const TreeNode* header = &node;
  const TreeNode* parent = header->parent;
  if (parent && parent->isOperator(':') && parent->right.get() == header) {
    header = parent;
    parent = parent->parent;
  }
  if (!parent || !parent->isOperator(' ') || parent->right.get() != header) return false;
  const TreeNode* word = parent->left.get();
  if (!word || !word->isName() || word->isApplied()) return false;
  return isRoutineWord(word->text) || isTypeDefinitionWord(word->text);
}

class ShapeChecker {
 public:
  explicit ShapeChecker(const std::string& fileName) : fileName_(fileName) {}

  void run(TreeNode& root) {
    std::vector<TreeNode*> pending{&root};
    while (!pending.empty()) {
      TreeNode* node = pending.back();
      pending.pop_back();
      check(*node);
      if (node->right) pending.push_back(node->right.get());
      if (node->left) pending.push_back(node->left.get());
    }
  }

 private:
  [[noreturn]] void fail(const std::string& text, int line) const {
    throw ERROR(text, ErrorKind::Syntax, fileName_, line);
  }
  [[noreturn]] void fail(const char* key, int line) const { fail(std::string(message(key)), line); }
  // "<message> '<operator>'"
  [[noreturn]] void failAt(const char* key, const TreeNode& node) const {
    std::string op(1, node.op);
    if (node.op2) op += node.op2;
    fail(fill("%s '%s'", {message(key), op}), node.line);
  }

  void check(TreeNode& node) {
    if (node.isOperator(':', ':')) foldModuleChain(node);
    if (node.isApplied() && !isDefinitionHeader(node)) checkArguments(node);
    if (node.isOperator()) checkOperands(node);
    if (node.curlyBlock && (!node.parent || node.parent->isOperator(';'))) fail("unelokblo", node.line);
    if (node.roundBracket && !node.curlyBlock && !mayStandInRoundBrackets(node)) fail("unzrunkla", node.line);
  }

  void checkOperands(const TreeNode& node) {
    const TreeNode* left = node.left.get();
    const TreeNode* right = node.right.get();
    if (node.isJuxtaposition()) {
      const TreeNode* parent = node.parent;
      bool argumentList = parent && parent->isApplied() && parent->left.get() == &node;
      if (!argumentList && !(parent && parent->isJuxtaposition()))
        fail(fill(message("unzope2"), {std::string(1, node.op), std::string(1, node.op2)}), node.line);
    }
    // A prefix "!" has its operand on the right only; that is its unary form, not a half
    // binary one.
    bool prefixNot = node.op == '!' && node.op2 == 0 && !left && right;
    if (isOperSetOperator(node.op, node.op2) && !prefixNot) {
      if (left && !right) failAt("nicleeleebaulnirecvonope", node);
      if (!left && right) failAt("leenicleebaulinrecvonope", node);
    }
    if (isStrictlyBinary(node)) {
      if (!left) failAt("leebaulinvonope", node);
      if (!right) failAt("leebaurecvonope", node);
    }
    if (isUnary(node)) {
      if (left && right && !(left->isOperator('#') && isBareOperator(left))) failAt("leebaulinvonunaope", node);
      if (node.op2 && !right) failAt("leebaurecvonope", node);
    }
    if (node.isOperator('.') && (isModuleOperand(left) || isModuleOperand(right)))
      failAt("modopenicerllinrecopepun", node);
  }

  bool mayStandInRoundBrackets(const TreeNode& node) const {
    if (node.isNumber() || node.isLiteral() || isBareOperator(&node)) return true;
    if (node.isOperator() && mayBeBracketed(node)) return true;
    const TreeNode* parent = node.parent;
    if (!parent) return false;
    // Right of "." a round group is an argument list (`n.(5)`); a "," list may stand on
    // either side.
    if (parent->isOperator('.') && (parent->right.get() == &node || node.isOperator(','))) return true;
    if (parent->isApplied() && parent->left.get() == &node) return true;
    return parent->isJuxtaposition();
  }

  // `a::b::f` becomes one name node "a<27>b<27>f" with the module flag; an applied final
  // name keeps its argument tree.
  void foldModuleChain(TreeNode& node) {
    TreeNode* last = node.right.get();
    if (!last || !last->isName() || last->moduleName) fail("erwnamrecmodope", node.line);
    std::vector<const TreeNode*> modules;
    const TreeNode* chain = node.left.get();
    for (; chain && chain->isOperator(':', ':'); chain = chain->left.get()) {
      const TreeNode* module = chain->right.get();
      if (!module || !module->isName() || module->isApplied() || module->moduleName)
        fail("erwmodnamlinmodope", node.line);
      modules.push_back(module);
    }
    if (!chain || !chain->isName() || chain->isApplied() || chain->moduleName) fail("erwmodnamlinmodope", node.line);
    modules.push_back(chain);
    std::reverse(modules.begin(), modules.end());
    std::string text;
    for (const TreeNode* module : modules) text += module->text + '\x1b';
    text += last->text;
    const int line = modules.front()->line;
    const char op = last->op;
    std::unique_ptr<TreeNode> arguments = std::move(last->left);
    node.setLeft(nullptr);
    node.setRight(nullptr);
    node.op = op;
    node.op2 = 0;
    node.text = std::move(text);
    node.moduleName = true;
    node.line = line;
    node.setLeft(std::move(arguments));
  }

  // The groups of a call's argument tree are split at "," into argument expressions: none
  // may be empty, and none may be two expressions side by side.
  void checkArguments(const TreeNode& call) {
    const TreeNode* tree = call.left.get();
    if (!tree) return;
    std::vector<const TreeNode*> groups;
    for (; tree->isJuxtaposition(); tree = tree->left.get()) groups.push_back(tree->right.get());
    groups.push_back(tree);
    for (const TreeNode* group : groups) {
      if (!group || group->curlyBlock || (group->isOperator('#') && isBareOperator(group))) continue;
      const TreeNode* item = group;
      std::vector<const TreeNode*> items;
      while (item && item->isOperator(',') && (item == group || !isFlagged(*item))) {
        items.push_back(item->right.get());
        item = item->left.get();
      }
      items.push_back(item);
      for (const TreeNode* argument : items) {
        if (!argument) fail("profunentzuvielleearg", call.line);
        if (argument->isOperator(' ') && (argument == group || !isFlagged(*argument))) fail("profunentbenausalsarg", argument->line);
      }
    }
  }

  const std::string& fileName_;
};

}  // namespace

void checkShapes(const std::string& fileName, TreeNode& root) { ShapeChecker(fileName).run(root); }

}  // namespace kavor
