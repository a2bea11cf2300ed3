#include "frontend/tree_render.h"

#include <variant>
#include <vector>

namespace kavor {

namespace {

std::string escaped(const std::string& text, char quote) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : text) {
    if (c < 32 || c >= 127 || c == '\\' || (quote && c == static_cast<unsigned char>(quote))) {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string operatorText(const TreeNode& node) {
  if (node.op == ' ') return "' '";
  std::string text(1, node.op);
  if (node.op2) text += node.op2;
  return text;
}

}  // namespace

std::string renderTree(const TreeNode* root) {
  // Work items in reverse order of output: a node still to render or text to emit.
  std::vector<std::variant<const TreeNode*, std::string>> work{root};
  std::string out;
  while (!work.empty()) {
    auto item = std::move(work.back());
    work.pop_back();
    if (auto* text = std::get_if<std::string>(&item)) {
      out += *text;
      continue;
    }
    const TreeNode* node = std::get<const TreeNode*>(item);
    if (!node) {
      out += "null";
      continue;
    }
    // Pushed last-first: closing brackets, then the body, then the opening brackets.
    if (node->roundBracket) work.emplace_back(std::string(")"));
    if (node->curlyBlock) work.emplace_back(std::string("}"));
    std::string head;
    if (node->isNumber()) {
      head = node->text;
    } else if (node->isLiteral()) {
      head = node->op + escaped(node->text, node->op) + node->op;
    } else if (node->isName()) {
      head = escaped(node->text, 0);
    }
    if (!node->isOperator()) {
      if (node->isApplied()) work.emplace_back(node->left ? node->left.get() : nullptr);
      work.emplace_back(head);
    } else if (!node->left && !node->right) {
      work.emplace_back(operatorText(*node));
    } else {
      work.emplace_back(std::string("]"));
      if (node->right) work.emplace_back(node->right.get());
      else work.emplace_back(std::string("_"));
      work.emplace_back(std::string(" "));
      if (node->left) work.emplace_back(node->left.get());
      else work.emplace_back(std::string("_"));
      work.emplace_back("[" + operatorText(*node) + " ");
    }
    if (node->curlyBlock) work.emplace_back(std::string("{"));
    if (node->roundBracket) work.emplace_back(std::string("("));
  }
  return out;
}

}  // namespace kavor
