// The program-tree node and the shapes the tree builder gives the language's forms.
//
// Node forms (see the predicates in TreeNode):
//   name       text = the name, op 0. An applied name (directly before "(" or "{"; blanks
//              between them do not count) has op '(' and its argument tree as left.
//   module     a name made from a "::" chain: text = each module name followed by byte 27,
//              then the final name; moduleName set; op '(' and left as for names when the
//              final name was applied (`m::f(1)`).
//   literal    op = '"' or '\'', text = the translated text (byte 0xFF stands for NUL); an
//              applied string literal has op2 '(' and its argument tree as left.
//   number     numberLiteral set, op 0, text = the source text ("12", "1.5e3", "2E-4").
//   operator   op/op2 = the operator characters, text empty. Prefix "+", "-", "!" are the
//              operators "++", "--", "!" with a right operand only. An operator of the
//              `oper` set written alone (`f(+)`, `sort(l, <=)`) has no operands.
//   "#"        op '#', no operands: the empty block. A bracket group written empty ("()",
//              "{}", "[]") has this node as its content.
//   subscript  op '[' op2 ']': `l[i]` is [[] l i]; a list in square brackets where an
//              operand is expected, `[1, 2]`, has no left operand: [[] _ [, 1 2]].
//
// Brackets are not nodes: the root of a group's content carries roundBracket for "( )" and
// curlyBlock for "{ }" (both when the group directly holds a group of the other kind).
// Groups written one after the other, with or without blanks between them, form the
// juxtaposition operators ")(", "){", "}(", "}{": a left-nested chain whose right operands
// are the later groups, each group's content with its own flag. A chain is legal only as
// the argument tree of an applied name or literal, where its groups are consecutive parts
// of the argument list: `if(c){a}{b}` means `if(c, {a}, {b})`.
//
// Trees of the forms analysis and execution read, as renderTree prints them: [op L R] is an
// operator node, "_" a missing operand, ' ' the blank operator, ( ) and { } the flags,
// name(...) an applied name.
//   int a, b                     [' ' int [, a b]]
//   int n = 5                    [' ' int [= n 5]]
//   int:$ a, b                   [:$ int [, a b]]
//   list l.(1, 2, 3)             [' ' list [. l ([, [, 1 2] 3])]]
//   proc p (int a; str b, c) { x = 1 }
//                                [' ' proc p[){ ([; [' ' int a] [' ' str [, b c]]]) {[= x 1]}]]
//                                The header is the applied name p; p.left is the chain of
//                                its parts; an argument list is ";"-separated groups, each
//                                [' ' type names] or [:$ type names].
//   proc p () {}                 [' ' proc p[){ (#) {#}]]
//   proc p { body }              [' ' proc p{body}]   (no chain: p.left is the block)
//   func f (int a) (int r, s) { r = a }
//                                [' ' func f[){ [)( ([' ' int a]) ([' ' int [, r s]])] {[= r a]}]]
//   proc T:f (int a) { body }    [' ' proc [: T f[){ ([' ' int a]) {body}]]]
//   bigtype T (A, B) { int x }   [' ' bigtype T[){ ([, A B]) {[' ' int x]}]]
//   bigtype T { body }           [' ' bigtype T{body}]
//   T += { int y }               [+= T {[' ' int y]}]
//   need "a.kv", app:"b.kv"      [' ' need [, "a.kv" [: app "b.kv"]]]
//   if(c){a}{b}                  if[}{ [){ (c) {a}] {b}]   (also with the else block on
//                                the next line, indented or not)
//   if(c, {a})                   if([, c {a}])
//   if(a)b                       if[){ (a) {b}]   (an implicit block)
//   while({c}, {body})           while([, {c} {body}])
//   for(i, 1 .. 9, {body})       for([, [, i [.. 1 9]] {body}])
//   switch(x, { case(1, {a}); case({b}) })   (also with the cases on indented lines)
//                                switch([, x {[; case([, 1 {a}]) case({b})]}])
//   catch(e, {body})             catch([, e {body}])
//   x.f(1)                       [. x f(1)]
//   x.(1, 2)                     [. x ([, 1 2])]   (a round group right of "." is the
//                                argument list of the unnamed call, or a member item list)
//   "abc".size()                 [. "abc" size(#)]
//   l.for(x, {2 * x})            [. l for([, x {[* 2 x]}])]
//   T:f(1)                       [: T f(1)]
//   m::f(1)                      m\x1bf(1)   (one module name node)
//   a = b = c                    [= a [= b c]]
//   a - b - c                    [- [- a b] c]
//   -a + !b                      [+ [-- _ a] [! _ b]]
//
// Statement lists: ";" chains, left-nested; an operand is missing where a ";" ends a line
// or a block (an empty statement): `a = 1;` is [; [= a 1] _]. A line end between two
// operands becomes ";". An indented line that continues the previous one joins it through
// the blank operator, which then groups whole lines: `x = a` over an indented `y = 2` is
// [' ' [= x a] [= y 2]], `int a` over an indented `str b` is [' ' [' ' int a] [' ' str b]].
// A blank operator whose left operand is not a type word is the statement sequence.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kavor {

struct Object;
struct SymbolTable;
struct Routine;
struct TypeRecord;
struct TreeNode;
class Executor;
struct ExecContext;
class ResultList;

struct MethodCall;
// The handler of a built-in method.
using MethodHandler = void (*)(MethodCall&);

// The method a call node chose last time, with what it was chosen for.
// A call node always names one method (its own name, "[]" for a subscript, "" for an unnamed
// call), so the name is not part of the key.
struct MethodCache {
  static constexpr int kMaxArguments = 6;  // calls with more arguments are not cached
  char base = 0;                           // the object's base type code
  bool functionForm = false;               // chosen for the function form
  uint8_t argumentCount = 0;               // the number of arguments, at most kMaxArguments
  char argumentCodes[kMaxArguments] = {};  // the arguments' base type codes, in order
  MethodHandler handler = nullptr;         // null while nothing is cached
};

// The overload a call of a program routine chose last time, with the argument types it was
// chosen for (their base type codes; calls with user-typed arguments are not cached, their
// types are told apart by name).
struct RoutineCache {
  static constexpr int kMaxArguments = 6;  // calls with more arguments are not cached
  uint8_t argumentCount = 0;               // the number of arguments, at most kMaxArguments
  char argumentCodes[kMaxArguments] = {};  // the arguments' base type codes, in order
  Routine* routine = nullptr;              // null while nothing is cached
};

// The part of a node's compiled form that depends on its shape (a fast program, the parts
// of a control statement, an assignment done in place): a record defined by the executor,
// told apart by its kind.
struct CompiledPart {
  // None: the node was looked at and has no such part.
  enum class Kind : uint8_t { None, FastExpression, If, While, For, Assignment, WordRoutine };
  Kind kind = Kind::None;
  virtual ~CompiledPart() = default;
};

// Frees a scope's symbol table. The analysis makes the tables and defines their type, so it
// defines this too (analysis/symbol_table.cpp): the tree only holds them.
struct SymbolTableRelease {
  void operator()(SymbolTable* table) const;
};

// The handlers a node chooses at its first evaluation or execution.
using EvalHandler = void (*)(Executor&, TreeNode&, const ExecContext&, ResultList&);
using ExecHandler = void (*)(Executor&, TreeNode&, const ExecContext&);

// Everything a run learns about a node, kept beside the tree so that the tree itself stays
// what the parser and the analysis made of the program: made at the node's first use, never
// changed by the tree.
struct CompiledForm {
  // The handlers chosen at the first evaluation and execution; null until then.
  EvalHandler evalHandler = nullptr;
  ExecHandler execHandler = nullptr;
  // The statements of a block and the argument expressions of a call form, split once.
  std::unique_ptr<std::vector<TreeNode*>> statementList;
  std::unique_ptr<std::vector<TreeNode*>> argumentList;
  // For a call form: the overloads its name denotes in the scope of the call, found at the
  // first call (procedures or functions by how the call stands); null until then.
  const std::vector<Routine*>* routineCandidates = nullptr;
  bool routineCandidatesFound = false;
  // For a call of a program routine: the overload chosen last.
  RoutineCache routineCache;
  // For a call whose arguments are all pure int or bool expressions: the routine they choose
  // when it takes them as words (computed in machine integers and put straight into its
  // parameters); null until such a call chose it.
  Routine* wordCallRoutine = nullptr;
  // For a method call: the handler it found last, reused while the types stay the same.
  MethodCache methodCache;
  // The shape-specific part, built at the first run; null until then.
  std::unique_ptr<CompiledPart> part;
  // Non-zero while the node, the root of a code block, is evaluated as expressions.
  int16_t codeFlag = 0;
};

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
  std::unique_ptr<SymbolTable, SymbolTableRelease> symbols;
  // For a variable name: its defining name node (itself for a defining occurrence).
  TreeNode* binding = nullptr;
  // For a defining variable node: the scope whose activations hold the variable, and its
  // slot in each activation's frame; null and -1 for every other node.
  SymbolTable* slotScope = nullptr;
  int32_t slot = -1;
  // For a defining variable node: the variable's type code and, for a user type, its record.
  char varCode = 0;
  TypeRecord* varType = nullptr;
  // For a parameter's name node: its argument mode (0 for other variables).
  int8_t argMode = 0;
  // A type name in a declaration or parameter list, never a variable.
  bool typeWord = false;
  // A blank whose left operand names a user-defined type: a declaration.
  bool declarationBlank = false;
  // For a number literal: its value, built by the analysis.
  std::unique_ptr<Object> constant;
  // For an item of `need`: the root of the file it brings in, when that file's statements
  // run here; null for a skipped item and a file brought in before. Never owns.
  TreeNode* includedRoot = nullptr;
  // For a call form and for a node that opens a scope: the innermost node above it that
  // opens a scope, set by the name pass so that a call finds its routines without climbing
  // the whole tree; null for the root and before the analysis.
  TreeNode* enclosingScope = nullptr;
  // What runs learned about this node; null until its first use.
  std::unique_ptr<CompiledForm> compiled;

  // The node's compiled form, made when first asked for.
  CompiledForm& form() {
    if (!compiled) compiled = std::make_unique<CompiledForm>();
    return *compiled;
  }
  // Non-zero while the node's code block is evaluated as expressions.
  int16_t codeFlag() const { return compiled != nullptr ? compiled->codeFlag : 0; }
};

}  // namespace kavor
