// What the `graph` method families share: the checks before a graph changes and the
// reading of node positions, edge ordinals and directions from the arguments.
#pragma once

#include <cstddef>

#include "exec/method_table.h"
#include "types/graph.h"
#include "types/list_common.h"

namespace kavor {

// One registrar per method family; registerGraphMethods() calls them all.
void registerGraphNodeMethods();
void registerGraphEdgeMethods();
void registerGraphOrderMethods();
void registerGraphLoopMethods();

using GraphHold = ContainerHold<GraphRecord>;

// The graph a method works on; fails with "Object is not defined" when it has no value.
GraphRecord& definedGraph(const MethodCall& call);
// The graph of a method that changes it: the object must be modifiable, and with
// `structure` no loop may run over it ("infeasible during iteration").
GraphRecord& changeableGraph(const MethodCall& call, bool structure);
// Reads int argument `index` (not empty) as a node position, counted from the end for the
// capital forms; `kind` Gap reads a place between nodes where one is inserted. Fails with
// "Node '%d' does not exist" (the position as computed) outside the graph.
size_t nodePosition(const MethodCall& call, size_t count, size_t index, bool fromEnd,
                    PositionKind kind = PositionKind::Character);
inline GraphNode& nodeArgument(const MethodCall& call, const GraphRecord& graph, size_t index, bool fromEnd) {
  return graph.node(nodePosition(call, graph.nodeCount(), index, fromEnd));
}
// Reads char argument `index` as a direction ("Expect direction '*', '-' or '+'").
Direction directionArgument(const MethodCall& call, size_t index);
// Parallel edge `ordinal` (int argument `index`) from `source` to `target`: "Edge '%d->%d'
// does not exist" when the pair has none, the parallel-edge index message when the ordinal
// lies outside.
GraphEdge& parallelEdge(const MethodCall& call, const GraphRecord& graph, const GraphNode& source,
                        const GraphNode& target, size_t index);
// "Edge '%d->%d' does not exist" for the pair.
[[noreturn]] void failNoEdge(const MethodCall& call, const GraphRecord& graph, const GraphNode& source,
                             const GraphNode& target);
// The forms whose first argument may be a bool that selects nodes (false) or edges (true):
// where their own arguments begin, and whether they are about edges.
struct Selection {
  size_t first;  // index of the first argument after the bool (0 without one)
  bool edges;    // the bool was true
};
Selection readSelection(const MethodCall& call);

// The edge forms of `ins` and `del`, with their arguments from `first` on.
void insertEdges(MethodCall& call, size_t first, bool fromEnd);
void removeEdges(MethodCall& call, size_t first, bool fromEnd);

}  // namespace kavor
