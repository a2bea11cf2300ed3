// The routine pass: checks every procedure and function definition of one scope, records
// it with its parameters and its signature key in the scope's table, refuses a second
// definition no call could tell from the first, and puts the parameters into the body's
// table as its first variables. The variables a body declares are left to the variable
// pass, which skips the parameter groups this pass marked as type words.
#include <memory>

#include "analysis/analyzer.h"
#include "analysis/symbol_table.h"
#include "core/error.h"
#include "core/messages.h"
#include "frontend/keywords.h"
#include "frontend/tree_shapes.h"

namespace kavor::analysis {

namespace {

// `proc T:f (...) {...}` defines a procedure of the user-defined type T, which the scope of
// the definition must see: the definition goes into the type's body as if written there.
// Returns the type's body.
TreeNode* externalTypeBody(const Analysis& analysis, TreeNode& header, bool isFunction) {
  std::string kind = message(isFunction ? "fundef" : "prodef");
  TreeNode* type = header.left.get();
  TreeNode* name = header.right.get();
  bool named = name != nullptr && ((name->op == '(' && !name->text.empty()) || (name->op == '"' && name->op2 == '('));
  if (type == nullptr || !isPlainName(*type) || !named)
    analysis.fail(header, fillKey("erwdattypnambeiext", {kind}), ErrorKind::Syntax);
  if (isTypeWord(type->text) || isDefinitionWord(type->text))
    analysis.fail(*type, message("vordefdattyp"), ErrorKind::Analysis);
  TreeNode* found = lookupType(header, type->text);
  if (found == nullptr) analysis.fail(*type, fillKey("dattypsconicdef", {type->text}), ErrorKind::Analysis);
  type->typeWord = true;
  type->varType = found->varType;
  return found->varType->body;
}

// The compound operators a type may define for itself, and its order "<".
bool isOperatorFunctionName(const std::string& name) {
  static const char* const kNames[] = {"+=", "-=", "*=", "/=", "%=", "^=", "<"};
  for (const char* allowed : kNames)
    if (name == allowed) return true;
  return false;
}

// Two definitions that some call could not tell apart.
bool sameInputs(const Routine& a, const Routine& b) {
  if ((a.argsIndex >= 0) != (b.argsIndex >= 0)) return false;
  if (a.inputs.size() != b.inputs.size()) return false;
  for (size_t i = 0; i < a.inputs.size(); ++i)
    if (a.inputs[i].typeName != b.inputs[i].typeName || a.inputs[i].type != b.inputs[i].type) return false;
  return true;
}

std::string signatureKey(const Routine& routine) {
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

// "int n, str s": groups of different types joined by "," instead of ";". They parse as one
// group whose type is "int n, str", the commonest slip in an argument list.
bool commaBetweenGroups(const TreeNode& group) {
  const TreeNode* type = group.left.get();
  bool groupShape = type && (isBlankNode(*type) || (type->op == ':' && type->op2 == '$' && type->text.empty()));
  return groupShape && type->right && isOperatorNode(*type->right, ',');
}

// One argument list: ";"-separated groups of `type names` or `type:$ names`.
void parseParameters(const Analysis& analysis, TreeNode& list, bool inputs, std::vector<Parameter>& out) {
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
    if (!blank && !variable) analysis.fail(*group, message("erwkeiodereftokbeifunarg"), ErrorKind::Syntax);
    if (!group->left || !isPlainName(*group->left))
      analysis.fail(*group, message(commaBetweenGroups(*group) ? "erwdattypnambeifunargsem" : "erwdattypnambeifunarg"),
                    ErrorKind::Syntax);
    group->left->typeWord = true;
    std::vector<TreeNode*> names;
    splitCommas(group->right.get(), names);
    if (names.empty()) analysis.fail(*group, message("erwvarnambeifunarg"), ErrorKind::Syntax);
    for (TreeNode* name : names) {
      if (!isPlainName(*name)) analysis.fail(*name, message("erwvarnambeifunarg"), ErrorKind::Syntax);
      Parameter parameter;
      parameter.nameNode = name;
      parameter.typeName = group->left->text;
      parameter.code = typeCodeOf(parameter.typeName);
      parameter.type = group->left->varType;
      if (parameter.code == 'k' && parameter.type == nullptr)
        analysis.fail(*group->left, fillKey("dattypsconicdef", {parameter.typeName}), ErrorKind::Analysis);
      parameter.mode = inputs ? (variable ? ArgMode::VariableInput : ArgMode::ConstInput)
                              : (variable ? ArgMode::VariableOutput : ArgMode::Output);
      out.push_back(parameter);
    }
  }
}

void registerRoutine(const Analysis& analysis, TreeNode& definingScope, TreeNode& definition) {
  const std::string& word = definition.left->text;
  bool isFunction = word == "func";
  TreeNode* header = definition.right.get();
  std::string malformed = fillKey(isFunction ? "erwfundeffor" : "erwprodeffor", {word});
  if (header == nullptr) analysis.fail(definition, malformed, ErrorKind::Syntax);
  if (header->moduleName)
    analysis.fail(*header, fillKey("modopenicerlbei", {message(isFunction ? "fundef" : "prodef")}),
                  ErrorKind::Syntax);
  TreeNode* scopePointer = &definingScope;
  if (header->text.empty() && header->op == ':' && header->op2 == 0) {
    scopePointer = externalTypeBody(analysis, *header, isFunction);
    header = header->right.get();
  }
  TreeNode& scope = *scopePointer;
  bool typeRoutine = scope.symbols->isTypeScope;
  const char* kindWord = message(typeRoutine ? (isFunction ? "typfun" : "typpro") : (isFunction ? "fun" : "pro"));
  bool operatorName = header->op == '"' && header->op2 == '(';
  if (operatorName && (!typeRoutine || !isOperatorFunctionName(header->text) ||
                       (header->text == "<") != isFunction))
    analysis.fail(*header, malformed, ErrorKind::Syntax);
  if (!operatorName && (header->op != '(' || header->text.empty())) {
    if (header->text.empty() && header->op != 0)
      analysis.fail(*header, fillKey("erwkeiopebei", {message(isFunction ? "fundef" : "prodef")}),
                    ErrorKind::Syntax);
    analysis.fail(*header, malformed, ErrorKind::Syntax);
  }
  std::vector<TreeNode*> parts = headerParts(*header);
  size_t maxParts = isFunction ? 3 : 2;
  if (parts.size() > maxParts)
    analysis.fail(*header, fillKey(isFunction ? "hatmehals3tei" : "hatmehals2tei", {kindWord}), ErrorKind::Syntax);
  if (parts.empty() || !parts.back()->curlyBlock)
    analysis.fail(*header, fillKey("hatkeirumtypcod", {kindWord}), ErrorKind::Syntax);
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    if (parts[i]->curlyBlock) analysis.fail(*parts[i], fillKey("hatargtypcod", {kindWord}), ErrorKind::Syntax);
    if (parts[i]->op == '#' && !parts[i]->left && !parts[i]->right)
      analysis.fail(*parts[i], fillKey("hatleearg", {kindWord}), ErrorKind::Syntax);
  }

  auto routine = std::make_unique<Routine>();
  routine->name = header->text;
  routine->isFunction = isFunction;
  routine->definition = &definition;
  routine->body = parts.back();
  routine->ownerType = scope.symbols->type;
  // A type routine sees the type's members, also when written outside its body.
  if (typeRoutine) routine->body->symbols->lexicalParent = &scope;
  size_t argumentParts = parts.size() - 1;
  // A function with one list has only outputs; with two, inputs then outputs.
  if (isFunction) {
    if (argumentParts == 2) parseParameters(analysis, *parts[0], true, routine->inputs);
    if (argumentParts >= 1) parseParameters(analysis, *parts[argumentParts - 1], false, routine->outputs);
  } else if (argumentParts == 1) {
    parseParameters(analysis, *parts[0], true, routine->inputs);
  }
  for (size_t i = 0; i < routine->inputs.size(); ++i) {
    if (routine->inputs[i].code != 'y') continue;
    if (routine->argsIndex >= 0)
      analysis.fail(definition, fillKey("hatzuvieargdattyparg", {kindWord, routine->name}), ErrorKind::Analysis);
    routine->argsIndex = static_cast<int>(i);
  }
  routine->key = signatureKey(*routine);

  auto& table = isFunction ? scope.symbols->functions : scope.symbols->procedures;
  auto& overloads = table[routine->name];
  for (Routine* existing : overloads) {
    if (sameInputs(*existing, *routine))
      analysis.fail(definition,
                    fillKey("schdefbei", {kindWord, routine->name, analysis.positionOf(*existing->definition)}),
                    ErrorKind::Analysis);
  }
  // Parameters are the first variables of the body's scope.
  SymbolTable& bodyScope = *routine->body->symbols;
  for (auto* list : {&routine->inputs, &routine->outputs}) {
    for (Parameter& parameter : *list) {
      TreeNode& name = *parameter.nameNode;
      if (bodyScope.variables.count(name.text))
        analysis.fail(name,
                      fillKey("varschdefbei", {name.text, analysis.positionOf(*bodyScope.variables[name.text])}),
                      ErrorKind::Analysis);
      name.binding = &name;
      name.varCode = parameter.code;
      name.varType = parameter.type;
      name.argMode = static_cast<int8_t>(parameter.mode);
      bodyScope.variables[name.text] = &name;
      bodyScope.allocate(name);
    }
  }
  overloads.push_back(routine.get());
  scope.symbols->routines.push_back(std::move(routine));
}

}  // namespace

void registerRoutines(Analysis& analysis, TreeNode& scope) {
  std::vector<TreeNode*> definitions;
  for (TreeNode* part : definitionParts(scope))
    walkScope(*part, [&](TreeNode& node) {
      if (isRoutineDefinition(node)) definitions.push_back(&node);
    });
  for (TreeNode* definition : definitions) registerRoutine(analysis, scope, *definition);
}

}  // namespace kavor::analysis
