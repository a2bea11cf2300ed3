// The variable pass: records every variable a declaration of one scope defines, in
// definition order, with its type code, and refuses the predefined names and a second
// definition in the same scope. Initialisers are left as they are: they run with the
// declaration. The uses of the names are bound by the name pass, once every scope knows
// its variables.
#include "analysis/analyzer.h"
#include "analysis/symbol_table.h"
#include "core/error.h"
#include "core/messages.h"
#include "frontend/keywords.h"
#include "frontend/tree_shapes.h"

namespace kavor::analysis {

namespace {

bool isLiteralArgument(const TreeNode& node) {
  if (node.isNumber() || (node.isLiteral() && node.op2 == 0)) return true;
  if (isPlainName(node) && (node.text == "true" || node.text == "false")) return true;
  // A negative number.
  return node.op == '-' && node.op2 == '-' && node.text.empty() && !node.left && node.right && node.right->isNumber();
}

// The arguments of a member's initialisation are literals: the prototype is built before the
// program runs, from nothing but the type's text.
void checkLiteralArguments(const Analysis& analysis, const TreeNode& typeNode, TreeNode& group) {
  std::vector<TreeNode*> arguments;
  splitCommas(&group, arguments);
  for (TreeNode* argument : arguments)
    if (!isLiteralArgument(*argument))
      analysis.fail(*argument, fillKey("erwlittyparginiprotypdef", {typeNode.text}), ErrorKind::Syntax);
}

void registerDeclaration(const Analysis& analysis, TreeNode& scope, TreeNode& declaration) {
  TreeNode& typeNode = *declaration.left;
  typeNode.typeWord = true;
  TypeCode code = typeCodeOf(typeNode.text);
  if (code == 'k' && typeNode.varType == nullptr)
    analysis.fail(typeNode, fillKey("dattypsconicdef", {typeNode.text}), ErrorKind::Analysis);
  bool member = scope.symbols->isTypeScope;
  std::vector<TreeNode*> items;
  splitCommas(declaration.right.get(), items);
  for (TreeNode* item : items) {
    TreeNode* name = item;
    bool assignment = item->text.empty() && item->op2 == 0 &&
                      (item->op == '=' || item->op == '@' || item->op == '~' || item->op == '$' || item->op == '?');
    bool initialiser = item->text.empty() && item->op == '.' && item->op2 == 0;
    // A member takes its initial value from literals given to its type's unnamed call.
    if (member && (assignment || (initialiser && (!item->right || !item->right->roundBracket))))
      analysis.fail(*item, message("erwvarinipro"), ErrorKind::Syntax);
    if (member && initialiser) checkLiteralArguments(analysis, typeNode, *item->right);
    if (assignment || initialiser) name = item->left.get();
    else if (!isPlainName(*item) && !item->moduleName)
      analysis.fail(*item, message("erwvartypprozuwope"), ErrorKind::Syntax);
    if (name == nullptr) analysis.fail(*item, message("erwvar"), ErrorKind::Syntax);
    if (name->moduleName) analysis.fail(*name, fillKey("modopenicerlbei", {message("vardef")}), ErrorKind::Syntax);
    if (!isPlainName(*name)) analysis.fail(*name, message("erwvar"), ErrorKind::Syntax);
    if (isPredefinedName(name->text))
      analysis.fail(*name, message("vordefvar"), ErrorKind::Analysis);
    SymbolTable& table = *scope.symbols;
    auto existing = table.variables.find(name->text);
    if (existing != table.variables.end())
      analysis.fail(*name, fillKey("varschdefbei", {name->text, analysis.positionOf(*existing->second)}),
                    ErrorKind::Analysis);
    name->binding = name;
    name->varCode = code;
    name->varType = typeNode.varType;
    table.variables[name->text] = name;
    table.allocate(*name);
  }
}

// A type's body holds definitions only: members, type procedures and type functions.
void checkTypeBody(const Analysis& analysis, TreeNode& body) {
  for (TreeNode* statement : statementsOf(body)) {
    if (!isBlankNode(*statement)) analysis.fail(*statement, message("erwstrpunanwindattyp"), ErrorKind::Syntax);
    if (isDeclaration(*statement) || isDefinition(*statement)) continue;
    const TreeNode* type = statement->left.get();
    if (type != nullptr && isPlainName(*type))
      analysis.fail(*type, fillKey("dattypsconicdef", {type->text}), ErrorKind::Analysis);
    analysis.fail(*statement, message("erwvartypdef"), ErrorKind::Syntax);
  }
}

}  // namespace

void registerVariables(Analysis& analysis, TreeNode& scope) {
  if (scope.symbols->isTypeScope) checkTypeBody(analysis, scope);
  for (TreeNode* extension : scope.symbols->extensions) checkTypeBody(analysis, *extension);
  std::vector<TreeNode*> declarations;
  for (TreeNode* part : definitionParts(scope))
    walkScope(*part, [&](TreeNode& node) {
      // Parameter groups look like declarations; the routine pass marked their type words.
      if (isDeclaration(node) && !node.left->typeWord && !isDefinition(node)) declarations.push_back(&node);
    });
  for (TreeNode* declaration : declarations) registerDeclaration(analysis, scope, *declaration);
}

}  // namespace kavor::analysis
