// The analysis passes: scopes, procedure and function definitions, variable definitions,
// number constants and the resolution of variable names.
#include "analysis/definitions.h"

#include "analysis/symbol_table.h"
#include "core/error.h"
#include "core/messages.h"
#include "frontend/tree_shapes.h"
#include "numbers/bigint.h"
#include "numbers/bigreal.h"

namespace kavor {

namespace {

bool isBlankNode(const TreeNode& node) { return node.op == ' ' && node.op2 == 0 && node.text.empty(); }

bool startsWithWord(const TreeNode& node, const char* word) {
  return isBlankNode(node) && node.left && isPlainName(*node.left) && node.left->text == word;
}

bool isRoutineDefinition(const TreeNode& node) {
  return startsWithWord(node, "proc") || startsWithWord(node, "func");
}

// Walks every node below `root` (root included) without native recursion.
template <typename Visit>
void walk(TreeNode& root, Visit visit) {
  std::vector<TreeNode*> pending{&root};
  while (!pending.empty()) {
    TreeNode* node = pending.back();
    pending.pop_back();
    visit(*node);
    if (node->right) pending.push_back(node->right.get());
    if (node->left) pending.push_back(node->left.get());
  }
}

// Walks the nodes of one scope: descends into everything but the bodies of nested scopes.
template <typename Visit>
void walkScope(TreeNode& scope, Visit visit) {
  std::vector<TreeNode*> pending{&scope};
  while (!pending.empty()) {
    TreeNode* node = pending.back();
    pending.pop_back();
    if (node != &scope && node->symbols) continue;
    visit(*node);
    if (node->right) pending.push_back(node->right.get());
    if (node->left) pending.push_back(node->left.get());
  }
}

class Analyzer {
 public:
  Analyzer(TreeNode& root, const std::vector<std::string>& sourceFiles, const std::string& programFile)
      : root_(root), sourceFiles_(sourceFiles), programFile_(programFile) {}

  void run() {
    createScopes();
    for (TreeNode* scope : scopes_) registerRoutines(*scope);
    for (TreeNode* scope : scopes_) registerVariables(*scope);
    resolveNames();
  }

 private:
  // The source file of a node as the user named it: an included file by its index, the
  // program file for index -1.
  const std::string& fileOf(const TreeNode& node) const {
    int index = node.fileIndex;
    if (index >= 0 && static_cast<size_t>(index) < sourceFiles_.size()) return sourceFiles_[index];
    return programFile_;
  }

  // Analysis runs before any statement, so no pending exception can take the error's place.
  [[noreturn]] void fail(const TreeNode& node, const std::string& text, char kind) {
    throw ERROR(text, kind, fileOf(node), node.line);
  }

  std::string positionOf(const TreeNode& node) {
    return fillKey("datzei", {fileOf(node), std::to_string(node.line)});
  }

  // ---- scopes ---------------------------------------------------------------------------

  void createScopes() {
    root_.symbols = std::make_unique<SymbolTable>();
    scopes_.push_back(&root_);
    walk(root_, [&](TreeNode& node) {
      if (!isRoutineDefinition(node) || !node.right) return;
      TreeNode* body = headerBody(*node.right);
      if (body == nullptr || body->symbols) return;
      body->symbols = std::make_unique<SymbolTable>();
      scopes_.push_back(body);
    });
  }

  // The parts after a definition's name: the groups of its juxtaposition chain.
  static std::vector<TreeNode*> headerParts(TreeNode& header) {
    std::vector<TreeNode*> parts;
    if (!header.left) return parts;
    std::vector<TreeNode*> pending{header.left.get()};
    while (!pending.empty()) {
      TreeNode* node = pending.back();
      pending.pop_back();
      bool grouped = node != header.left.get() && (node->curlyBlock || node->roundBracket);
      if (!grouped && node->isJuxtaposition()) {
        if (node->right) pending.push_back(node->right.get());
        if (node->left) pending.push_back(node->left.get());
        continue;
      }
      parts.push_back(node);
    }
    return parts;
  }

  static TreeNode* headerBody(TreeNode& header) {
    if (header.op != '(' || header.text.empty()) return nullptr;
    std::vector<TreeNode*> parts = headerParts(header);
    if (parts.empty() || !parts.back()->curlyBlock) return nullptr;
    return parts.back();
  }

  // ---- procedures and functions ---------------------------------------------------------

  void registerRoutines(TreeNode& scope) {
    std::vector<TreeNode*> definitions;
    walkScope(scope, [&](TreeNode& node) {
      if (isRoutineDefinition(node)) definitions.push_back(&node);
    });
    for (TreeNode* definition : definitions) registerRoutine(scope, *definition);
  }

  void registerRoutine(TreeNode& scope, TreeNode& definition) {
    bool isFunction = definition.left->text == "func";
    const char* word = isFunction ? "func" : "proc";
    const char* kindWord = message(isFunction ? "fun" : "pro");
    TreeNode* header = definition.right.get();
    std::string malformed = fillKey(isFunction ? "erwfundeffor" : "erwprodeffor", {word});
    if (header == nullptr) fail(definition, malformed, ErrorKind::Syntax);
    if (header->moduleName)
      fail(*header, fillKey("modopenicerlbei", {message(isFunction ? "fundef" : "prodef")}), ErrorKind::Syntax);
    if (header->text.empty() && header->op == ':' && header->op2 == 0) checkExternalDefinition(*header, isFunction);
    if (header->op != '(' || header->text.empty()) {
      if (header->text.empty() && header->op != 0)
        fail(*header, fillKey("erwkeiopebei", {message(isFunction ? "fundef" : "prodef")}), ErrorKind::Syntax);
      fail(*header, malformed, ErrorKind::Syntax);
    }
    std::vector<TreeNode*> parts = headerParts(*header);
    size_t maxParts = isFunction ? 3 : 2;
    if (parts.size() > maxParts)
      fail(*header, fillKey(isFunction ? "hatmehals3tei" : "hatmehals2tei", {kindWord}), ErrorKind::Syntax);
    if (parts.empty() || !parts.back()->curlyBlock)
      fail(*header, fillKey("hatkeirumtypcod", {kindWord}), ErrorKind::Syntax);
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
      if (parts[i]->curlyBlock) fail(*parts[i], fillKey("hatargtypcod", {kindWord}), ErrorKind::Syntax);
      if (parts[i]->op == '#' && !parts[i]->left && !parts[i]->right)
        fail(*parts[i], fillKey("hatleearg", {kindWord}), ErrorKind::Syntax);
    }

    auto routine = std::make_unique<Routine>();
    routine->name = header->text;
    routine->isFunction = isFunction;
    routine->definition = &definition;
    routine->body = parts.back();
    size_t argumentParts = parts.size() - 1;
    // A function with one list has only outputs; with two, inputs then outputs.
    if (isFunction) {
      if (argumentParts == 2) parseParameters(*parts[0], true, routine->inputs);
      if (argumentParts >= 1) parseParameters(*parts[argumentParts - 1], false, routine->outputs);
    } else if (argumentParts == 1) {
      parseParameters(*parts[0], true, routine->inputs);
    }
    for (size_t i = 0; i < routine->inputs.size(); ++i) {
      if (routine->inputs[i].code != 'y') continue;
      if (routine->argsIndex >= 0)
        fail(definition, fillKey("hatzuvieargdattyparg", {kindWord, routine->name}), ErrorKind::Analysis);
      routine->argsIndex = static_cast<int>(i);
    }
    routine->key = signatureKey(*routine);

    auto& table = isFunction ? scope.symbols->functions : scope.symbols->procedures;
    auto& overloads = table[routine->name];
    for (Routine* existing : overloads) {
      if (sameInputs(*existing, *routine))
        fail(definition,
             fillKey("schdefbei", {kindWord, routine->name, positionOf(*existing->definition)}),
             ErrorKind::Analysis);
    }
    // Parameters are the first variables of the body's scope.
    SymbolTable& bodyScope = *routine->body->symbols;
    for (auto* list : {&routine->inputs, &routine->outputs}) {
      for (Parameter& parameter : *list) {
        TreeNode& name = *parameter.nameNode;
        if (bodyScope.variables.count(name.text))
          fail(name, fillKey("varschdefbei", {name.text, positionOf(*bodyScope.variables[name.text])}),
               ErrorKind::Analysis);
        name.binding = &name;
        name.varCode = parameter.code;
        name.argMode = static_cast<int8_t>(parameter.mode);
        bodyScope.variables[name.text] = &name;
        bodyScope.allocation.push_back(&name);
      }
    }
    overloads.push_back(routine.get());
    scope.symbols->routines.push_back(std::move(routine));
  }

  // `proc T:f (...) {...}` defines a procedure of the user-defined type T. The type must be
  // one the scope can see; no scope defines types yet, so every such definition is refused
  // with the message that names the missing type.
  void checkExternalDefinition(TreeNode& header, bool isFunction) {
    std::string kind = message(isFunction ? "fundef" : "prodef");
    TreeNode* type = header.left.get();
    TreeNode* name = header.right.get();
    if (type == nullptr || !isPlainName(*type) || name == nullptr || name->op != '(' || name->text.empty())
      fail(header, fillKey("erwdattypnambeiext", {kind}), ErrorKind::Syntax);
    if (typeCodeOf(type->text) != 'k') fail(*type, message("vordefdattyp"), ErrorKind::Analysis);
    fail(*type, fillKey("dattypsconicdef", {type->text}), ErrorKind::Analysis);
  }

  // Two definitions that some call could not tell apart.
  static bool sameInputs(const Routine& a, const Routine& b) {
    if ((a.argsIndex >= 0) != (b.argsIndex >= 0)) return false;
    if (a.inputs.size() != b.inputs.size()) return false;
    for (size_t i = 0; i < a.inputs.size(); ++i)
      if (a.inputs[i].typeName != b.inputs[i].typeName) return false;
    return true;
  }

  static std::string signatureKey(const Routine& routine) {
    std::string key;
    for (char c : routine.name) {
      if (c == ';' || c == '\\' || c == '\xA7') key += '\\';
      key += c;
    }
    key += '\xA7';
    if (routine.inputs.empty()) return key;
    for (const Parameter& input : routine.inputs) {
      key += input.typeName;
      if (input.code == 'y' && input.mode == ArgMode::VariableInput) key += ":$";
      key += ';';
    }
    key += '\xA7';
    return key;
  }

  // One argument list: ";"-separated groups of `type names` or `type:$ names`.
  void parseParameters(TreeNode& list, bool inputs, std::vector<Parameter>& out) {
    std::vector<TreeNode*> groups;
    std::vector<TreeNode*> pending{&list};
    while (!pending.empty()) {
      TreeNode* node = pending.back();
      pending.pop_back();
      if (isOperatorNode(*node, ';')) {
        if (node->right) pending.push_back(node->right.get());
        if (node->left) pending.push_back(node->left.get());
        continue;
      }
      groups.push_back(node);
    }
    for (TreeNode* group : groups) {
      bool blank = isBlankNode(*group);
      bool variable = group->op == ':' && group->op2 == '$' && group->text.empty();
      if (!blank && !variable) fail(*group, message("erwkeiodereftokbeifunarg"), ErrorKind::Syntax);
      if (!group->left || !isPlainName(*group->left)) fail(*group, message("erwdattypnambeifunarg"), ErrorKind::Syntax);
      group->left->typeWord = true;
      std::vector<TreeNode*> names;
      splitCommas(group->right.get(), names);
      if (names.empty()) fail(*group, message("erwvarnambeifunarg"), ErrorKind::Syntax);
      for (TreeNode* name : names) {
        if (!isPlainName(*name)) fail(*name, message("erwvarnambeifunarg"), ErrorKind::Syntax);
        Parameter parameter;
        parameter.nameNode = name;
        parameter.typeName = group->left->text;
        parameter.code = typeCodeOf(parameter.typeName);
        if (parameter.code == 'k')
          fail(*group->left, fillKey("dattypsconicdef", {parameter.typeName}), ErrorKind::Analysis);
        parameter.mode = inputs ? (variable ? ArgMode::VariableInput : ArgMode::ConstInput)
                                : (variable ? ArgMode::VariableOutput : ArgMode::Output);
        out.push_back(parameter);
      }
    }
  }

  // ---- variables ------------------------------------------------------------------------

  void registerVariables(TreeNode& scope) {
    std::vector<TreeNode*> declarations;
    walkScope(scope, [&](TreeNode& node) {
      // Parameter groups look like declarations; the routine pass marked their type words.
      if (isDeclaration(node) && !node.left->typeWord && !isRoutineDefinition(node) && !startsWithWord(node, "bigtype") &&
          !startsWithWord(node, "smalltype") && !startsWithWord(node, "need"))
        declarations.push_back(&node);
    });
    for (TreeNode* declaration : declarations) registerDeclaration(scope, *declaration);
  }

  void registerDeclaration(TreeNode& scope, TreeNode& declaration) {
    TreeNode& typeNode = *declaration.left;
    typeNode.typeWord = true;
    TypeCode code = typeCodeOf(typeNode.text);
    if (code == 'k') fail(typeNode, fillKey("dattypsconicdef", {typeNode.text}), ErrorKind::Analysis);
    std::vector<TreeNode*> items;
    splitCommas(declaration.right.get(), items);
    for (TreeNode* item : items) {
      TreeNode* name = item;
      bool assignment = item->text.empty() && item->op2 == 0 &&
                        (item->op == '=' || item->op == '@' || item->op == '~' || item->op == '$' || item->op == '?');
      bool initialiser = item->text.empty() && item->op == '.' && item->op2 == 0;
      if (assignment || initialiser) name = item->left.get();
      else if (!isPlainName(*item) && !item->moduleName)
        fail(*item, message("erwvartypprozuwope"), ErrorKind::Syntax);
      if (name == nullptr) fail(*item, message("erwvar"), ErrorKind::Syntax);
      if (name->moduleName) fail(*name, fillKey("modopenicerlbei", {message("vardef")}), ErrorKind::Syntax);
      if (!isPlainName(*name)) fail(*name, message("erwvar"), ErrorKind::Syntax);
      if (name->text == "true" || name->text == "false" || name->text == "this")
        fail(*name, message("vordefvar"), ErrorKind::Analysis);
      SymbolTable& table = *scope.symbols;
      auto existing = table.variables.find(name->text);
      if (existing != table.variables.end())
        fail(*name, fillKey("varschdefbei", {name->text, positionOf(*existing->second)}), ErrorKind::Analysis);
      name->binding = name;
      name->varCode = code;
      table.variables[name->text] = name;
      table.allocation.push_back(name);
    }
  }

  // ---- names and constants --------------------------------------------------------------

  // A name standing as an item right of "." or ":" names a member or method, not a variable.
  static bool isMemberItem(const TreeNode& node) {
    const TreeNode* child = &node;
    const TreeNode* parent = node.parent;
    while (parent != nullptr && isOperatorNode(*parent, ',') && !child->roundBracket) {
      child = parent;
      parent = parent->parent;
    }
    bool memberSide = parent != nullptr && parent->text.empty() && parent->op2 == 0 &&
                      (parent->op == '.' || parent->op == ':') && parent->right.get() == child;
    // The round group of an unnamed call `x.(0, r)` holds values, not member names.
    return memberSide && !isUnnamedCallGroup(*child);
  }

  TreeNode* lookupVariable(TreeNode& node) {
    for (TreeNode* scope = &node; scope != nullptr; scope = scope->parent) {
      if (!scope->symbols) continue;
      auto found = scope->symbols->variables.find(node.text);
      if (found != scope->symbols->variables.end()) return found->second;
    }
    return nullptr;
  }

  void resolveNames() {
    walk(root_, [&](TreeNode& node) {
      if (node.isNumber()) {
        makeConstant(node);
        return;
      }
      if (!isPlainName(node) || node.binding != nullptr || node.typeWord || node.moduleName) return;
      const std::string& name = node.text;
      if (name == "true" || name == "false" || name == "this") return;
      if (typeCodeOf(name) != 'k' || name == "proc" || name == "func" || name == "bigtype" ||
          name == "smalltype" || name == "need")
        return;
      if (isMemberItem(node)) return;
      TreeNode* definition = lookupVariable(node);
      if (definition != nullptr) {
        node.binding = definition;
        return;
      }
      // The left side of ":" may name a type or module rather than a variable.
      if (node.parent && node.parent->op == ':' && node.parent->op2 == 0 && node.parent->left.get() == &node) return;
      fail(node, fillKey("unbvar", {name}), ErrorKind::Analysis);
    });
  }

  static void makeConstant(TreeNode& node) {
    const std::string& text = node.text;
    bool isReal = text.find_first_of(".eE") != std::string::npos;
    if (isReal) {
      node.constant = std::make_unique<Object>('r');
      node.constant->asReal().setText(text);
      return;
    }
    node.constant = std::make_unique<Object>('i');
    if (auto value = BigInt::fromText(text)) node.constant->asInt() = std::move(*value);
  }

  TreeNode& root_;
  const std::vector<std::string>& sourceFiles_;
  const std::string& programFile_;
  std::vector<TreeNode*> scopes_;  // every node with a symbol table, outermost first
};

}  // namespace

void analyzeProgram(TreeNode& root, const std::vector<std::string>& sourceFiles, const std::string& programFile) {
  Analyzer(root, sourceFiles, programFile).run();
}

}  // namespace kavor
