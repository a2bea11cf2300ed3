// Payload of `graph`; filled in with the graph type.
#pragma once

namespace kavor {

struct GraphValue {
  bool isEmpty() const { return true; }
  bool operator==(const GraphValue&) const = default;
};

}  // namespace kavor
