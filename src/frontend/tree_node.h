// The program-tree node and the shapes the tree builder gives the language's forms.
//
// Node forms (see the predicates at the end of TreeNode):
//   name       text = the name, op 0; an applied name (written directly before "(" or "{",
//              blanks between them do not count) has op '(' and its argument tree as left.
//   module     a name made from a "::" chain: text = each module name followed by byte 27,
//              then the final name; moduleName set; op '(' and left as for names when the
//              final name was applied (`m::f(1)`).
//   literal    op = '"' or '\'', text = the translated text (0xFF stands for NUL); an applied
//              string literal has op2 '(' and its argument tree as left.
//   number     numberLiteral set, op 0, text = the source text ("12", "1.5e3").
//   operator   op/op2 = the operator characters, text empty; prefix "+", "-", "!" are the
//              operators "++", "--", "!" with a right operand only; an operator of the
//              `oper` set written alone (`f(+)`, `sort(l, <=)`) has no operands.
//   "#"        op '#', no operands: the empty block. Every bracket group written empty
//              ("()", "{}", "[]") has this node as its content.
//   subscript  op '[' op2 ']': `x[i]` is [ x, i ]; a bracket list `[a, b]` where an operand
//              is expected has no left operand.
//
// Brackets are not nodes: the root of a group's content carries roundBracket for "( )" and
// curlyBlock for "{ }" (both when a group directly encloses another of the other kind).
// Groups written one after the other, directly or with blanks between them, form the
// juxtaposition operators ")(", "){", "}(", "}{" (strength 0): a left-nested chain whose
// operands are the groups in order, each group's content with its own flag. A chain is only
// legal as the argument tree of an applied name or literal; there the groups are
// consecutive argument parts: `if(c){a}{b}` reads like `if(c, {a}, {b})`.
//
// Shapes of the forms that analysis and execution read ([op L R], ( ) and { } are flags,
// "_" is the blank operator ' '):
//   int a, b                    [_ int [, a b]]
//   int n = 5                   [_ int [= n 5]]
//   int:$ a                     [:$ int a]
//   list l.(1, 2, 3)            [_ list [. l ([, [, 1 2] 3])]]
//   proc p (int a; str b, c) { body }
//                               [_ proc p[){ ([; [_ int a] [_ str [, b c]]]) {body}]]
//                               header = the applied name p: p.left is the chain; an input
//                               list's groups are ";"-separated [_ type names] or
//                               [:$ type names].
//   proc p { body }             [_ proc p{body}]  (p.left is the block itself, no chain)
//   func f (int a) (int r, s) { body }
//                               [_ func f[){ [)( ([_ int a]) ([_ int [, r s]])] {body}]]
//   proc T:f (int a) { body }   [_ proc [: T f[){ ...]]]  (external type procedure)
//   bigtype T (A, B) { body }   [_ bigtype T[){ ([, A B]) {body}]]
//   bigtype T { body }          [_ bigtype T{body}]
//   need "a.kv", app:"b.kv"     [_ need [, "a.kv" [: app "b.kv"]]]
//   if(c){a}{b}                 if[}{ [){ (c) {a}] {b}]   (else block on the same line or
//                               on the next line, indented or not)
//   if(c, {a})                  if([, c {a}])
//   if(a)b                      if[){ (a) {b}]   (an implicit block, see the lexer)
//   while({c}, {body})          while([, {c} {body}])
//   for(i, 1 .. 9, {body})      for([, [, i [.. 1 9]] {body}])
//   switch(x, { case(1, {a}); case({b}) })
//                               switch([, x {[; case([, 1 {a}]) case({b})]}])
//   catch(e, {body})            catch([, e {body}])
//   x.f(1)                      [. x f(1)]
//   x.(1, 2)                    [. x ([, 1 2])]   (a round group right of "." is an
//                               argument list of the unnamed call or a member item list)
//   "abc".size()                [. "abc" size(#)]
//   l.for(x, {2 * x})           [. l for([, x {[* 2 x]}])]
//   T:f(1)                      [: T f(1)]
//   a = b = c                   [= a [= b c]];  a - b - c  [- [- a b] c]
//   -a + !b                     [+ [-- _ a] [! _ b]]
//   x = a  (line end, indented) y = 2
//                               [_ [= x a] [= y 2]]  (the blank operator whose left operand
//                               is not a type word is the statement sequence)
// Statement lists are ";" chains (left-nested; an operand may be missing where a ";" ends
// a line or a block: empty statements) and blank-operator sequences made from indented
// lines.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kavor {

struct Object;
struct SymbolTable;
struct TypeRecord;
struct TreeNode;
class Executor;
struct ExecContext;
class ResultList;

// The handlers a node chooses at its first evaluation or execution.
using EvalHandler = void (*)(Executor&, TreeNode&, const ExecContext&, ResultList&);
using ExecHandler = void (*)(Executor&, TreeNode&, const ExecContext&);

struct TreeNode {
  // The left operand; for an applied name or literal the argument tree (the group's
  // content or a juxtaposition chain). Owned; its parent is this node.
  std::unique_ptr<TreeNode> left;
  // The right operand. Owned; its parent is this node.
  std::unique_ptr<TreeNode> right;
  // The node owning this one; nullptr for a root. Never owns.
  TreeNode* parent = nullptr;
  // First operator character; '"' or '\'' for literals; '(' for an applied name; '#' for
  // the empty block; ' ' for the blank operator; 0 for plain names and numbers.
  char op = 0;
  // Second character of a two-character operator; '(' for an applied literal; else 0.
  char op2 = 0;
  // The name, the translated literal, or a number's source text; empty for operators.
  std::string text;
  // Source-file index for error positions: -1 is the main program file; inclusion sets
  // the index of an included file's nodes.
  int fileIndex = -1;
  // Physical source line of the node's first character (its operator for operators).
  int line = 0;
  // Physical line of the character after the node's token.
  int endLine = 0;
  // The node is the content root of a "( )" group.
  bool roundBracket = false;
  // The node is the content root of a "{ }" block.
  bool curlyBlock = false;
  // The node is a name made from a "::" chain (text holds byte-27 separators).
  bool moduleName = false;
  // The node is a number literal; its text is the source text of the number.
  bool numberLiteral = false;

  // Out of line: the analysis fields own types this header only declares.
  TreeNode();
  TreeNode(const TreeNode&) = delete;
  TreeNode& operator=(const TreeNode&) = delete;
  // Releases the whole subtree without native recursion: trees may be 100000 levels deep.
  // A field added below that owns tree nodes must hand them to the same loop.
  ~TreeNode();

  // Attach an owned child and link its parent; the previous child is released.
  void setLeft(std::unique_ptr<TreeNode> child);
  void setRight(std::unique_ptr<TreeNode> child);

  bool isNumber() const { return numberLiteral; }
  bool isLiteral() const { return op == '"' || op == '\''; }
  bool isName() const { return !numberLiteral && (op == 0 || op == '('); }
  // A name or literal applied to a bracket group (a call form or definition header).
  bool isApplied() const { return op == '(' || (isLiteral() && op2 == '('); }
  bool isOperator() const { return !isNumber() && !isLiteral() && !isName(); }
  bool isOperator(char c1, char c2 = 0) const { return isOperator() && op == c1 && op2 == c2; }
  // One of ")(", "){", "}(", "}{".
  bool isJuxtaposition() const { return (op == ')' || op == '}') && (op2 == '(' || op2 == '{'); }

  // --- analysis and execution fields ---
  // The scope this node opens (program root, procedure and function bodies); else null.
  std::unique_ptr<SymbolTable> symbols;
  // For a variable name: its defining name node (itself for a defining occurrence).
  TreeNode* binding = nullptr;
  // For a defining variable node: one Object per active activation of its scope; the last
  // is the variable's current Object.
  std::vector<std::unique_ptr<Object>> incarnations;
  // For a defining variable node: the variable's type code and, for a user type, its record.
  char varCode = 0;
  TypeRecord* varType = nullptr;
  // For a parameter's name node: its argument mode (0 for other variables).
  int8_t argMode = 0;
  // A type name in a declaration or parameter list, never a variable.
  bool typeWord = false;
  // A blank whose left operand names a user-defined type: a declaration.
  bool declarationBlank = false;
  // Non-zero while a code block's tree is evaluated as expressions.
  int16_t codeFlag = 0;
  // The handlers chosen at the first evaluation and execution; null until then.
  EvalHandler evalHandler = nullptr;
  ExecHandler execHandler = nullptr;
  // The statements of a block and the argument expressions of a call form, split once.
  std::unique_ptr<std::vector<TreeNode*>> statementList;
  std::unique_ptr<std::vector<TreeNode*>> argumentList;
  // For a number literal: its value, built by the analysis.
  std::unique_ptr<Object> constant;
};

}  // namespace kavor
