// The type passes: registers every `bigtype`/`smalltype` definition of a scope with a record
// of its own, builds each type's inheritance list (refusing cycles), and marks the
// declarations whose type word names a user-defined type. Types are found by record, never
// by name, once this pass has run: two scopes (or modules) may each define a type `T`.
#include <algorithm>
#include <memory>
#include <unordered_map>

#include "analysis/analyzer.h"
#include "analysis/symbol_table.h"
#include "core/error.h"
#include "core/messages.h"
#include "frontend/keywords.h"
#include "frontend/tree_shapes.h"

namespace kavor::analysis {

namespace {

bool isTypeDefinition(const TreeNode& node) {
  const std::string* word = leadingWord(node);
  return word != nullptr && isTypeDefinitionWord(*word);
}

// A name no user type may take: the built-in types and the definition words.
bool isPredefinedTypeName(const std::string& name) { return isTypeWord(name) || isDefinitionWord(name); }

// The type node of a definition: the applied or plain name after the keyword.
TreeNode* checkedTypeNode(const Analysis& analysis, TreeNode& definition) {
  const std::string& word = definition.left->text;
  TreeNode* header = definition.right.get();
  std::string malformed = fillKey("erwtypdeffor", {word});
  if (header == nullptr) analysis.fail(definition, malformed, ErrorKind::Syntax);
  if (header->moduleName) analysis.fail(*header, fillKey("modopenicerlbei", {message("typdef")}), ErrorKind::Syntax);
  if (header->text.empty() && header->op != 0 && !header->isLiteral())
    analysis.fail(*header, fillKey("erwkeiopebei", {message("typdef")}), ErrorKind::Syntax);
  if (header->op != '(' || header->text.empty()) analysis.fail(*header, malformed, ErrorKind::Syntax);
  return header;
}

// The bracketed list of basic types of a definition header, or null when there is none.
TreeNode* basesPart(const Analysis& analysis, TreeNode& header) {
  std::vector<TreeNode*> parts = headerParts(header);
  const std::string& name = header.text;
  if (parts.empty() || !parts.back()->curlyBlock)
    analysis.fail(header, fillKey("rumtypistkeicod", {name}), ErrorKind::Syntax);
  if (parts.size() > 2) analysis.fail(header, fillKey("erwtypdeffor", {header.parent->left->text}), ErrorKind::Syntax);
  if (parts.size() == 1) return nullptr;
  TreeNode* list = parts[0];
  if (list->curlyBlock) analysis.fail(*list, message("ersteitypdefistcod"), ErrorKind::Syntax);
  if (list->op == '#' && !list->left && !list->right)
    analysis.fail(*list, message("ersteitypdefistlee"), ErrorKind::Syntax);
  return list;
}

void registerType(const Analysis& analysis, TreeNode& scope, TreeNode& definition) {
  TreeNode& header = *checkedTypeNode(analysis, definition);
  const std::string& name = header.text;
  if (isPredefinedTypeName(name)) analysis.fail(header, message("vordefdattyp"), ErrorKind::Analysis);
  SymbolTable& table = *scope.symbols;
  auto existing = table.types.find(name);
  if (existing != table.types.end())
    analysis.fail(header, fillKey("dattypschdefbei", {name, analysis.positionOf(*existing->second)}),
                  ErrorKind::Analysis);
  (void)basesPart(analysis, header);
  TreeNode* body = headerBody(header);
  auto record = std::make_unique<TypeRecord>();
  record->name = table.type != nullptr ? table.type->name + ":" + name : name;
  record->small = definition.left->text == "smalltype";
  record->body = body;
  body->symbols->isTypeScope = true;
  body->symbols->type = record.get();
  header.varType = record.get();
  table.types[name] = &header;
  table.typeRecords.push_back(std::move(record));
}

// Builds the inheritance lists of the types, each after the lists of its basic types.
struct LineageBuilder {
  const Analysis& analysis;
  std::unordered_map<TypeRecord*, int> state;  // 1 while a type's list is built, 2 when done
  std::unordered_map<TypeRecord*, std::vector<TypeRecord*>> direct;  // the bases as written

  void build(TreeNode& header) {
    TypeRecord& record = *header.varType;
    if (state[&record] == 2) return;
    state[&record] = 1;
    std::vector<TypeRecord*>& bases = direct[&record];
    if (TreeNode* list = basesPart(analysis, header)) {
      std::vector<TreeNode*> names;
      splitCommas(list, names);
      for (TreeNode* base : names) {
        if (!isPlainName(*base)) analysis.fail(*base, message("erwbastypersteitypdef"), ErrorKind::Syntax);
        base->typeWord = true;
        if (isPredefinedTypeName(base->text))
          analysis.fail(*base, message("stddattypbasdattypunz"), ErrorKind::Analysis);
        TreeNode* found = lookupType(*header.parent, base->text);
        if (found == nullptr) analysis.fail(*base, fillKey("unbdattypxxx", {base->text}), ErrorKind::Analysis);
        if (state[found->varType] == 1)
          analysis.fail(header, fillKey("zykverdattyp", {record.name}), ErrorKind::Analysis);
        build(*found);
        base->varType = found->varType;
        bases.push_back(found->varType);
      }
    }
    // Breadth-first: a type met on several paths is kept at its first position, so a
    // diamond's shared base has one member group.
    record.lineage = {&record};
    std::vector<TypeRecord*> frontier = bases;
    while (!frontier.empty()) {
      std::vector<TypeRecord*> next;
      for (TypeRecord* type : frontier) {
        if (record.groupOf(type) >= 0) continue;
        record.lineage.push_back(type);
        for (TypeRecord* base : direct[type]) next.push_back(base);
      }
      frontier = std::move(next);
    }
    state[&record] = 2;
  }
};

}  // namespace

TreeNode* lookupType(TreeNode& from, const std::string& name) {
  auto inTypes = [&name](SymbolTable& table) -> TreeNode* {
    auto found = table.types.find(name);
    return found != table.types.end() ? found->second : nullptr;
  };
  TreeNode* scope = &from;
  for (; lookupParent(*scope) != nullptr; scope = lookupParent(*scope)) {
    // The head `T:name ...` of a routine written outside its type T: its parameters and body
    // see T's names as if written in T's body, so the search goes on there.
    if (scope->op == ':' && scope->op2 == 0 && scope->text.empty() && scope->left && isPlainName(*scope->left) &&
        scope->parent != nullptr && scope->parent->right.get() == scope && isRoutineDefinition(*scope->parent))
      if (TreeNode* owner = lookupType(*scope->parent, scope->left->text)) scope = owner->varType->body;
    if (!scope->symbols) continue;
    if (TreeNode* found = inTypes(*scope->symbols)) return found;
    // Inside a type, the types its basic types define are its own too, as their members are.
    if (scope->symbols->isTypeScope && scope->symbols->type != nullptr)
      for (TypeRecord* base : scope->symbols->type->lineage)
        if (base->body != scope)
          if (TreeNode* found = inTypes(*base->body->symbols)) return found;
  }
  // The file's outermost scope, then the files it brings in.
  return findVisible(*scope, inTypes);
}

TreeNode* lookupParent(TreeNode& node) {
  if (node.symbols && node.symbols->lexicalParent != nullptr) return node.symbols->lexicalParent;
  return node.parent;
}

void registerTypes(Analysis& analysis) {
  std::vector<TreeNode*> headers;
  for (TreeNode* scope : analysis.scopes) {
    std::vector<TreeNode*> definitions;
    walkScope(*scope, [&](TreeNode& node) {
      if (isTypeDefinition(node)) definitions.push_back(&node);
      // `bigtype (A) {...}` reads as a call of the keyword: the type's name is missing.
      if (isCallForm(node) && isTypeDefinitionWord(node.text))
        analysis.fail(node, message("keidattypnamfuebodgef"), ErrorKind::Syntax);
    });
    for (TreeNode* definition : definitions) {
      registerType(analysis, *scope, *definition);
      headers.push_back(definition->right.get());
    }
  }
  LineageBuilder builder{analysis, {}, {}};
  for (TreeNode* header : headers) builder.build(*header);
  for (TreeNode* header : headers) analysis.types.push_back(header->varType);
}

std::vector<TreeNode*> definitionParts(TreeNode& scope) {
  std::vector<TreeNode*> parts{&scope};
  if (scope.symbols) parts.insert(parts.end(), scope.symbols->extensions.begin(), scope.symbols->extensions.end());
  return parts;
}

void registerExtensions(Analysis& analysis) {
  for (TreeNode* scope : analysis.scopes) {
    std::vector<TreeNode*> extensions;
    walkScope(*scope, [&](TreeNode& node) {
      // `T += {...}` where T names a type; with any other left side "+=" is an assignment.
      if (isOperatorNode(node, '+', '=') && node.left && isPlainName(*node.left) && node.right &&
          node.right->curlyBlock && (isTypeWord(node.left->text) || lookupType(node, node.left->text) != nullptr))
        extensions.push_back(&node);
    });
    const TypeRecord* current = scope->symbols->type;
    for (TreeNode* extension : extensions) {
      TreeNode& name = *extension->left;
      if (isTypeWord(name.text)) analysis.fail(name, message("extvordeftypnicerl"), ErrorKind::Analysis);
      TreeNode* found = lookupType(*extension, name.text);
      TypeRecord* type = found->varType;
      if (current != nullptr && type == current)
        analysis.fail(name, fillKey("unzerwakttyp", {type->name}), ErrorKind::Analysis);
      if (current != nullptr && current->groupOf(type) >= 0)
        analysis.fail(name, fillKey("unzerwbastyp", {type->name}), ErrorKind::Analysis);
      // Only the outermost scope of a file extends types.
      if (scope->parent != nullptr) analysis.fail(*extension, message("typextnurerlaussco"), ErrorKind::Analysis);
      // A type defined at the outermost scope of an included file may be extended at the
      // outermost scope of a file that sees it, like one of its own.
      bool fileLevel = std::any_of(analysis.files.begin(), analysis.files.end(), [&](TreeNode* root) {
        auto defined = root->symbols->types.find(name.text);
        return defined != root->symbols->types.end() && defined->second == found;
      });
      if (scope->symbols->types.count(name.text) == 0 && !fileLevel)
        analysis.fail(name, fillKey("dattypnicscotypdef", {name.text, type->name}), ErrorKind::Analysis);
      TreeNode& block = *extension->right;
      for (TreeNode* statement : statementsOf(block))
        if (!isBlankNode(*statement))
          analysis.fail(*statement, message("erwstrpunanwindattypext"), ErrorKind::Syntax);
      name.typeWord = true;
      name.varType = type;
      type->body->symbols->extensions.push_back(&block);
      // The block is a part of the type's body: the passes over the enclosing scope skip it,
      // and names inside it are looked up in the type.
      block.symbols = newSymbolTable();
      block.symbols->lexicalParent = type->body;
    }
  }
}

namespace {

// Whether some type's body defines a type named `name`.
bool isNestedTypeName(const Analysis& analysis, const std::string& name) {
  return std::any_of(analysis.types.begin(), analysis.types.end(), [&](const TypeRecord* type) {
    return type->body->symbols->types.count(name) != 0;
  });
}

}  // namespace

void markUserDeclarations(Analysis& analysis) {
  if (analysis.types.empty()) return;
  for (TreeNode* root : analysis.files) walk(*root, [&](TreeNode& node) {
    TreeNode* typeNode = nullptr;
    // `T:U x`: a type's inner types are its own and are not named from outside it.
    if (isBlankNode(node) && node.left && node.left->op == ':' && node.left->op2 == 0 && node.left->left &&
        node.left->right && isPlainName(*node.left->left) && isPlainName(*node.left->right) && node.right &&
        isPlainName(*node.right) && isNestedTypeName(analysis, node.left->right->text))
      analysis.fail(*node.left, fillKey("dattypsconicdef", {node.left->left->text + ":" + node.left->right->text}),
                    ErrorKind::Analysis);
    bool variableGroup = node.op == ':' && node.op2 == '$' && node.text.empty();
    if ((isBlankNode(node) || variableGroup) && node.left && isPlainName(*node.left)) typeNode = node.left.get();
    if (typeNode == nullptr || isTypeWord(typeNode->text) || isDefinitionWord(typeNode->text)) return;
    TreeNode* found = lookupType(node, typeNode->text);
    if (found == nullptr) {
      // `U x` with `U` defined inside some type that does not enclose this declaration is a
      // declaration of an out-of-reach type, not an unknown variable `U`.
      if (isBlankNode(node) && node.right && isPlainName(*node.right) && isNestedTypeName(analysis, typeNode->text))
        analysis.fail(*typeNode, fillKey("dattypsconicdef", {typeNode->text}), ErrorKind::Analysis);
      return;
    }
    typeNode->varType = found->varType;
    if (isBlankNode(node)) node.declarationBlank = true;
  });
}

}  // namespace kavor::analysis
