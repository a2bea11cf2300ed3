// The methods of hash, set, array, array2, any2 and graph, registered together.
#include "types/table_common.h"

namespace kavor {

void registerArrayMethods();
void registerArray2Methods();
void registerAny2Methods();
void registerGraphMethods();

void registerContainerMethods() {
  registerHashMethods();
  registerSetMethods();
  registerTableOrderMethods();
  registerArrayMethods();
  registerArray2Methods();
  registerAny2Methods();
  registerGraphMethods();
}

}  // namespace kavor
