// The checks and argument readers of the graph methods, and their registration.
#include "types/graph_common.h"

#include <optional>
#include <string>

#include "core/messages.h"
#include "exec/calls.h"
#include "numbers/bigint.h"

namespace kavor {

GraphRecord& definedGraph(const MethodCall& call) {
  if (!call.object.isDefined()) call.fail(message("insnicdef"));
  return graphOf(call.object);
}

GraphRecord& changeableGraph(const MethodCall& call, bool structure) {
  GraphRecord& graph = definedGraph(call);
  call.requireModifiable();
  if (structure && graph.iterationCount > 0) call.fail(message("unzwaeite"));
  return graph;
}

size_t nodePosition(const MethodCall& call, size_t count, size_t index, bool fromEnd, PositionKind kind) {
  std::string shown;
  std::optional<size_t> position = readPosition(call, index, fromEnd, count, kind, shown);
  if (!position) call.fail(fillKey("knoexinic", {shown}));
  return *position;
}

Direction directionArgument(const MethodCall& call, size_t index) {
  call.require(checkType(call.args, index, 'c', true));
  switch (call.args[index].object->resolve(true).charValue()) {
    case '+': return Direction::Leaving;
    case '-': return Direction::Entering;
    case '*': return Direction::Both;
    default: call.fail(message("erwricmalminplu"));
  }
}

void failNoEdge(const MethodCall& call, const GraphRecord& graph, const GraphNode& source, const GraphNode& target) {
  call.fail(fillKey("kanexinic", {std::to_string(graph.positionOf(source)), std::to_string(graph.positionOf(target))}));
}

GraphEdge& parallelEdge(const MethodCall& call, const GraphRecord& graph, const GraphNode& source,
                        const GraphNode& target, size_t index) {
  call.require(checkType(call.args, index, 'i', true));
  const std::vector<GraphEdge*>& edges = graph.edgesBetween(source, target);
  if (edges.empty()) failNoEdge(call, graph, source, target);
  const BigInt& ordinal = call.args[index].object->resolve(true).asInt();
  if (!ordinal.fitsIn(0, static_cast<int64_t>(edges.size()) - 1))
    call.fail(fillKey("indparkankleglesei", {ordinal.toText(), std::to_string(graph.positionOf(source)),
                                             std::to_string(graph.positionOf(target)), std::to_string(edges.size() - 1)}));
  return *edges[static_cast<size_t>(*ordinal.toInt64())];
}

Selection readSelection(const MethodCall& call) {
  if (call.args.empty() || call.args[0].object->resolve(true).base() != 'b') return {0, false};
  return {1, call.usedArgument(0).boolValue()};
}

void registerGraphMethods() {
  registerGraphNodeMethods();
  registerGraphEdgeMethods();
  registerGraphOrderMethods();
  registerGraphLoopMethods();
}

}  // namespace kavor
