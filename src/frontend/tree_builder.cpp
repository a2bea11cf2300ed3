#include "frontend/tree_builder.h"

#include <unordered_set>

#include "core/error.h"
#include "core/messages.h"
#include "frontend/lexer.h"
#include "frontend/operators.h"
#include "frontend/shape_checks.h"
#include "frontend/source_text.h"

namespace kavor {

namespace {

std::unique_ptr<TreeNode> makeNode(const Token& token) {
  auto node = std::make_unique<TreeNode>();
  node->line = token.line;
  node->endLine = token.endLine;
  return node;
}

std::unique_ptr<TreeNode> makeOperator(char op, char op2, int line, int endLine) {
  auto node = std::make_unique<TreeNode>();
  node->op = op;
  node->op2 = op2;
  node->line = line;
  node->endLine = endLine;
  return node;
}

// Names, literals, numbers and operators standing alone.
std::unique_ptr<TreeNode> makeLeaf(const Token& token) {
  auto node = makeNode(token);
  switch (token.kind) {
    case 'z':
      node->numberLiteral = true;
      node->text = token.text;
      break;
    case 's':
    case 'c':
      node->op = token.kind == 's' ? '"' : '\'';
      node->text = token.text;
      break;
    case 'n': node->text = token.text; break;
    default:  // '#' and 'v': an operator without operands
      node->op = token.text[0];
      node->op2 = token.text.size() > 1 ? token.text[1] : 0;
      break;
  }
  return node;
}

// Builds the tree by operator strength in one pass over the tokens. Bracket groups are
// frames on an explicit stack, so nesting depth costs heap, not native stack.
class TreeBuilder {
 public:
  TreeBuilder(const std::string& fileName, const std::vector<Token>& tokens)
      : fileName_(fileName), tokens_(tokens) {
    frames_.emplace_back();
  }

  std::unique_ptr<TreeNode> run() {
    for (pos_ = 0; pos_ < tokens_.size(); ++pos_) {
      const Token& token = tokens_[pos_];
      switch (token.kind) {
        case 'o': binary(token); break;
        case '!': prefix(token, '!', 0); break;
        case '+': prefix(token, '+', '+'); break;
        case '-': prefix(token, '-', '-'); break;
        case 'k': open(token); break;
        case 'K': close(token); break;
        default: placeOperand(makeLeaf(token), false); break;
      }
    }
    if (frames_.size() != 1) internalError();
    return std::move(frames_.back().root);
  }

 private:
  enum class GroupUse {
    Operand,    // the group stands where an operand stands
    Apply,      // the group is the argument tree of the name or literal before it
    Subscript,  // the group is the right operand of a "[]" node
  };

  struct Frame {
    std::unique_ptr<TreeNode> root;  // the group's content so far
    TreeNode* current = nullptr;     // the node the next operand or operator relates to
    bool expectOperand = true;       // current is an operator still lacking its right operand
    char bracket = 0;                // '(', '{', '[', or 0 for the file level
    int openLine = 0;                // line of the opening bracket
    GroupUse use = GroupUse::Operand;
    TreeNode* target = nullptr;      // the applied node (Apply) or the "[]" node (Subscript)
    // The juxtaposition chain of the groups before this one (`(a){b}`); its root still
    // lacks its right operand, which this group's content becomes.
    std::unique_ptr<TreeNode> chain;
  };

  [[noreturn]] void fail(const char* key, int line) const {
    throw ERROR(message(key), ErrorKind::Syntax, fileName_, line);
  }
  [[noreturn]] static void internalError() {
    throw ERROR("internal error in pop(): list is empty", ErrorKind::System, "", 0);
  }

  // Puts an operand (or a prefix operator) where the group expects one.
  void placeOperand(std::unique_ptr<TreeNode> node, bool expectOperandAfter) {
    Frame& frame = frames_.back();
    TreeNode* raw = node.get();
    if (!frame.root) frame.root = std::move(node);
    else if (frame.expectOperand) frame.current->setRight(std::move(node));
    else fail("fehopeaufrecsei", raw->line);
    frame.current = raw;
    frame.expectOperand = expectOperandAfter;
  }

  void prefix(const Token& token, char op, char op2) {
    placeOperand(makeOperator(op, op2, token.line, token.endLine), true);
  }

  void binary(const Token& token) {
    char op = token.text[0], op2 = token.text.size() > 1 ? token.text[1] : 0;
    auto node = makeOperator(op, op2, token.line, token.endLine);
    if (op == ' ' && token.joinsLine) lineBlanks_.insert(node.get());
    Frame& frame = frames_.back();
    if (!frame.root || frame.expectOperand) {
      placeOperand(std::move(node), true);  // no left operand; the shape checks judge it
      return;
    }
    insertByStrength(std::move(node));
  }

  // Twice the operator's strength, so that a blank joining two lines can bind between ";"
  // and the blank within a line: `int a` and an indented `str b` are two declarations.
  int binding(const TreeNode* node) const {
    if (lineBlanks_.count(node)) return 3;
    return 2 * operatorStrength(node->op, node->op2);
  }

  // Precedence climbing: walk up from the current node over the operators that bind at
  // least as tightly (strictly more tightly for right-associative ones) and insert the new
  // operator above the node reached. The walk stays on the group's right spine.
  void insertByStrength(std::unique_ptr<TreeNode> node) {
    Frame& frame = frames_.back();
    const int strength = binding(node.get());
    const bool right = isRightAssociative(node->op, node->op2);
    TreeNode* reached = frame.current;
    while (TreeNode* parent = reached->parent) {
      int parentStrength = binding(parent);
      if (right ? parentStrength <= strength : parentStrength < strength) break;
      reached = parent;
    }
    TreeNode* raw = node.get();
    if (TreeNode* parent = reached->parent) {
      node->setLeft(std::move(parent->right));
      parent->setRight(std::move(node));
    } else {
      node->setLeft(std::move(frame.root));
      frame.root = std::move(node);
    }
    frame.current = raw;
    frame.expectOperand = true;
  }

  void open(const Token& token) {
    const char bracket = token.text[0];
    Frame& frame = frames_.back();
    Frame group;
    group.bracket = bracket;
    group.openLine = token.line;
    const bool afterOperand = frame.root && !frame.expectOperand;
    if (bracket == '[') {
      auto node = makeOperator('[', ']', token.line, token.endLine);
      group.target = node.get();
      if (afterOperand) insertByStrength(std::move(node));
      else placeOperand(std::move(node), true);
      group.use = GroupUse::Subscript;
    } else if (afterOperand && pos_ > 0 && (tokens_[pos_ - 1].kind == 'n' || tokens_[pos_ - 1].kind == 's')) {
      group.use = GroupUse::Apply;
      group.target = frame.current;
    } else if (afterOperand) {
      fail("fehopeaufrecsei", token.line);
    }
    frames_.push_back(std::move(group));
  }

  void close(const Token& token) {
    if (frames_.size() < 2) internalError();
    Frame group = std::move(frames_.back());
    frames_.pop_back();
    std::unique_ptr<TreeNode> content = std::move(group.root);
    if (!content) content = makeOperator('#', 0, group.openLine, token.line);
    if (group.bracket == '(') content->roundBracket = true;
    if (group.bracket == '{') content->curlyBlock = true;
    std::unique_ptr<TreeNode> unit = std::move(content);
    if (group.chain) {
      group.chain->setRight(std::move(unit));
      unit = std::move(group.chain);
    }
    // A group directly followed by another forms a juxtaposition: `(a){b}{c}`.
    const Token* next = pos_ + 1 < tokens_.size() ? &tokens_[pos_ + 1] : nullptr;
    if (group.bracket != '[' && next && next->kind == 'k' && next->text[0] != '[') {
      Frame following;
      following.bracket = next->text[0];
      following.openLine = next->line;
      following.use = group.use;
      following.target = group.target;
      following.chain = makeOperator(token.text[0], next->text[0], token.line, token.endLine);
      following.chain->setLeft(std::move(unit));
      frames_.push_back(std::move(following));
      ++pos_;
      return;
    }
    attach(std::move(unit), group);
  }

  void attach(std::unique_ptr<TreeNode> unit, const Frame& group) {
    Frame& frame = frames_.back();
    switch (group.use) {
      case GroupUse::Operand: placeOperand(std::move(unit), false); return;
      case GroupUse::Apply:
        if (group.target->isLiteral()) group.target->op2 = '(';
        else group.target->op = '(';
        group.target->setLeft(std::move(unit));
        return;
      case GroupUse::Subscript:
        group.target->setRight(std::move(unit));
        frame.current = group.target;
        frame.expectOperand = false;
        return;
    }
  }

  const std::string& fileName_;
  const std::vector<Token>& tokens_;
  size_t pos_ = 0;
  std::vector<Frame> frames_;  // the file level first, the innermost open group last
  std::unordered_set<const TreeNode*> lineBlanks_;  // blank operators that join two lines
};

}  // namespace

std::unique_ptr<TreeNode> buildTree(const std::string& fileName, const std::vector<std::string>& lines,
                                    bool mainFile, int fileIndex) {
  SourceText source = prepareSource(fileName, lines, mainFile);
  std::vector<Token> tokens = tokenize(fileName, source);
  if (tokens.empty()) return nullptr;
  std::unique_ptr<TreeNode> root = TreeBuilder(fileName, tokens).run();
  if (!root) return root;
  checkShapes(fileName, *root);
  if (fileIndex != -1) {
    // Without native recursion: a file's tree may be as deep as its longest expression.
    std::vector<TreeNode*> pending{root.get()};
    while (!pending.empty()) {
      TreeNode* node = pending.back();
      pending.pop_back();
      node->fileIndex = fileIndex;
      if (node->left) pending.push_back(node->left.get());
      if (node->right) pending.push_back(node->right.get());
    }
  }
  return root;
}

}  // namespace kavor
