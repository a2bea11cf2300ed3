#include "analysis/symbol_table.h"

namespace kavor {

void SymbolTableRelease::operator()(SymbolTable* table) const { delete table; }

}  // namespace kavor
