// The lookup of built-in statements and functions, reached when no procedure or function of
// the program has the name. Each concern keeps its own table (builtins.h).
#include "exec/builtins.h"

#include <algorithm>
#include <array>

#include "exec/dispatch.h"

namespace kavor {

namespace {

template <class Handler>
Handler find(const std::string& name, std::span<const std::span<const NamedBuiltin<Handler>>> tables) {
  for (const auto& table : tables)
    for (const auto& entry : table)
      if (name == entry.name) return entry.handler;
  return nullptr;
}

// Every table, in lookup order. A new concern's table goes here; lookup and listing both
// read these.
std::array<StatementTable, 5> statementTables() {
  return {outputStatements(), inputStatements(), objectStatements(), systemStatements(), formStatements()};
}
std::array<FunctionTable, 6> functionTables() {
  return {outputFunctions(), inputFunctions(), objectFunctions(), foldingFunctions(), systemFunctions(), formFunctions()};
}

}  // namespace

ExecHandler builtinStatement(const std::string& name) {
  if (ExecHandler control = builtinControlStatement(name)) return control;
  return find<ExecHandler>(name, statementTables());
}

EvalHandler builtinFunction(const std::string& name) { return find<EvalHandler>(name, functionTables()); }

std::vector<std::string> builtinNames() {
  std::vector<std::string> names = controlStatementNames();
  for (const StatementTable& table : statementTables())
    for (const auto& entry : table) names.emplace_back(entry.name);
  for (const FunctionTable& table : functionTables())
    for (const auto& entry : table) names.emplace_back(entry.name);
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

}  // namespace kavor
