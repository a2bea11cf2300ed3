// The row of `graph`.
#include "types/graph.h"

#include "types/placeholder_row.h"

namespace kavor {

extern constinit const TypeOps kGraphOps = PlaceholderRow<GraphValue>::row("graph");

}  // namespace kavor
