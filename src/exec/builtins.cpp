// The lookup of built-in statements and functions, reached when no procedure or function of
// the program has the name. Each concern keeps its own table (builtins.h).
#include "exec/builtins.h"

#include "exec/dispatch.h"

namespace kavor {

namespace {

template <class Handler>
Handler find(const std::string& name, std::initializer_list<std::span<const NamedBuiltin<Handler>>> tables) {
  for (const auto& table : tables)
    for (const auto& entry : table)
      if (name == entry.name) return entry.handler;
  return nullptr;
}

}  // namespace

ExecHandler builtinStatement(const std::string& name) {
  if (ExecHandler control = builtinControlStatement(name)) return control;
  return find<ExecHandler>(name, {outputStatements(), inputStatements(), objectStatements(), systemStatements(),
                                  formStatements()});
}

EvalHandler builtinFunction(const std::string& name) {
  return find<EvalHandler>(name, {outputFunctions(), inputFunctions(), objectFunctions(), foldingFunctions(),
                                  systemFunctions(), formFunctions()});
}

}  // namespace kavor
