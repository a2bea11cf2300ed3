// The methods of hash, set, array, array2 and any2, registered together.
#include "types/table_common.h"

namespace kavor {

void registerArrayMethods();
void registerArray2Methods();
void registerAny2Methods();

void registerContainerMethods() {
  registerHashMethods();
  registerSetMethods();
  registerTableOrderMethods();
  registerArrayMethods();
  registerArray2Methods();
  registerAny2Methods();
}

}  // namespace kavor
