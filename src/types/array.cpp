// The rows of `array` and `array2`.
#include "types/array.h"

#include "types/placeholder_row.h"

namespace kavor {

extern constinit const TypeOps kArrayOps = PlaceholderRow<ArrayValue>::row("array");
extern constinit const TypeOps kArray2Ops = PlaceholderRow<Array2Value>::row("array2");

}  // namespace kavor
