#include "frontend/tree_render.h"

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
  if (!root) return "null";
  // Work still to do, last first: a node to render, or (node == nullptr) text to emit.
  struct Item {
    const TreeNode* node;
    const char* text;
  };
  std::vector<Item> work{{root, nullptr}};
  std::string out;
  while (!work.empty()) {
    Item item = work.back();
    work.pop_back();
    if (!item.node) {
      out += item.text;
      continue;
    }
    const TreeNode& node = *item.node;
    if (node.roundBracket) out += '(';
    if (node.curlyBlock) out += '{';
    if (node.roundBracket) work.push_back({nullptr, ")"});
    if (node.curlyBlock) work.push_back({nullptr, "}"});
    if (node.isNumber()) {
      out += node.text;
    } else if (node.isLiteral()) {
      out += node.op + escaped(node.text, node.op) + node.op;
    } else if (node.isName()) {
      out += escaped(node.text, 0);
    } else if (!node.left && !node.right) {
      out += operatorText(node);
      continue;
    } else {
      out += '[';
      out += operatorText(node);
      out += ' ';
      work.push_back({nullptr, "]"});
      work.push_back(node.right ? Item{node.right.get(), nullptr} : Item{nullptr, "_"});
      work.push_back({nullptr, " "});
      work.push_back(node.left ? Item{node.left.get(), nullptr} : Item{nullptr, "_"});
      continue;
    }
    if (node.isApplied()) work.push_back(node.left ? Item{node.left.get(), nullptr} : Item{nullptr, "null"});
  }
  return out;
}

}  // namespace kavor
